// Feeds arbitrary bytes, as a picture file, to the player's picture decoding, exactly as the
// player calls it: for a screen-sized picture stretched and at natural size, and stretched to a
// tiny screen, which has a progressive JPEG decoded from only the coefficients that size needs.
// Whatever the file holds, decoding ends without a fault, and a picture that decodes has the
// size the request asks for.
#include "picture/PictureLoader.h"

#include <QCoreApplication>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

// Small enough that a header claiming a huge picture is refused quickly, and that the pictures
// a few bytes can claim (a progressive file's end-of-band runs cover thousands of blocks) keep
// the fuzzer fast.
constexpr qint64 kMemoryLimit = qint64(16) << 20;
constexpr QSize kScreen(320, 200);
constexpr QSize kTinyScreen(20, 12);

[[noreturn]] void fail(const char *what, QSize got, QSize wanted)
{
    std::fprintf(stderr,
                 "picture_decoder_fuzzer: %s: %dx%d where %dx%d was asked for\n",
                 what,
                 got.width(),
                 got.height(),
                 wanted.width(),
                 wanted.height());
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static QCoreApplication application(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const EncodedPicture picture(QByteArrayView(data, qsizetype(size)));
    for (const PictureRequest request : {PictureRequest{kScreen, PictureFit::Stretch},
                                         PictureRequest{kScreen, PictureFit::NaturalSize},
                                         PictureRequest{kTinyScreen, PictureFit::Stretch}}) {
        const std::optional<LoadedPicture> loaded = decodePicture(picture, request, kMemoryLimit);
        if (!loaded)
            continue;
        const QSize natural = loaded->naturalSize;
        const QSize wanted = request.fit == PictureFit::Stretch
                                 ? request.screenSize
                                 : natural.boundedTo(request.screenSize);
        if (loaded->image.size() != wanted)
            fail("picture", loaded->image.size(), wanted);
    }
    return 0;
}
