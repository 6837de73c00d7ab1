// Feeds arbitrary bytes, as a picture file, to the player's own JPEG and PNG decoders, planned as
// the player plans them: from the size Qt reads in the file's header, for a screen-sized picture
// stretched and at natural size, and stretched to a tiny screen, which has a progressive JPEG
// decoded from only the coefficients that size needs. Whatever the file holds, decoding ends without a fault, and a
// picture that decodes has the size the plan asked for.
#include "picture/JpegDecoder.h"
#include "picture/PictureDecoding.h"
#include "picture/PngDecoder.h"

#include <QCoreApplication>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>

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

void decodeAsPlanned(const QString &path, const QByteArray &format, const DecodePlan &plan)
{
    const std::optional<QImage> image = format == "jpeg" ? decodeJpeg(path, plan, kMemoryLimit)
                                                         : decodePng(path, plan, kMemoryLimit);
    if (!image)
        return;
    const QSize wanted = plan.scaledSize ? *plan.scaledSize
                         : plan.clipRect ? plan.clipRect->size()
                                         : image->size();
    if (image->size() != wanted)
        fail(format.constData(), image->size(), wanted);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static QCoreApplication application(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("picture"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
            || file.write(reinterpret_cast<const char *>(data), qint64(size)) != qint64(size))
            std::abort();
    }
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    const QByteArray format = reader.format();
    if (format != "jpeg" && format != "png")
        return 0;
    const QSize fileSize = reader.size();
    if (fileSize.isEmpty() || qint64(fileSize.width()) * fileSize.height() * 4 > kMemoryLimit)
        return 0;
    for (const PictureRequest request : {PictureRequest{kScreen, PictureFit::Stretch},
                                         PictureRequest{kScreen, PictureFit::NaturalSize},
                                         PictureRequest{kTinyScreen, PictureFit::Stretch}})
        decodeAsPlanned(path, format, planDecode(fileSize, reader.transformation(), request));
    return 0;
}
