// Feeds arbitrary bytes, as a picture file, to the player's picture decoding exactly as the player
// calls it, for a tiny screen stretched and at natural size and for the whole picture, and holds
// what it shows to what libjpeg and libpng make of the same bytes (support/LibraryDecode.h):
// - every picture has the size the request asks for;
// - where the library decodes the file, damaged or not, the player's picture has the library's
//   pixels, exactly, at the same place in the picture;
// - where the library refuses the file, no decoder of the player's own and not libjpeg shows it
//   (Qt's reader may, for a JPEG: it turns CMYK into colours).
// A mismatch aborts with what differed. Nothing is written to disk.
//
// Mutated PNGs would almost never have right check sums, and libpng refuses those, so most
// mutations get their chunks' check sums mended before they run, and the decoders are fuzzed
// beyond the chunk checks too.
#include "picture/PictureLoader.h"
#include "support/LibraryDecode.h"

#include <QCoreApplication>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <zlib.h>

extern "C" std::size_t LLVMFuzzerMutate(std::uint8_t *data, std::size_t size, std::size_t maxSize);

namespace {

// Small enough that a header claiming a huge picture is refused quickly, and that the pictures
// a few bytes can claim (a progressive file's end-of-band runs cover thousands of blocks) keep
// the fuzzer fast: a quarter of a million pixels. Zeroing larger coefficient buffers took most
// of the fuzzer's time.
constexpr qint64 kMemoryLimit = qint64(1) << 20;
// Pictures of up to 128x128 pixels are held to the library's; that leaves the player room in
// the memory limit for every decode of them. Larger ones are only checked for their size.
constexpr qint64 kComparedPixels = qint64(1) << 14;
constexpr QSize kTinyScreen(20, 12);

const char *fitName(const PictureRequest &request)
{
    if (request.screenSize.isEmpty())
        return "the whole picture";
    return request.fit == PictureFit::Stretch ? "stretched to 20x12" : "natural size on 20x12";
}

[[noreturn]] void fail(const PictureRequest &request, const LoadedPicture *loaded, const char *what)
{
    std::fprintf(stderr,
                 "picture_decoder_fuzzer: %s: %s (%s)\n",
                 fitName(request),
                 what,
                 loaded ? decoderName(loaded->decoder) : "nothing decoded");
    std::abort();
}

void checkSize(const PictureRequest &request, const LoadedPicture &loaded)
{
    const QSize wanted = request.screenSize.isEmpty() ? loaded.naturalSize
                         : request.fit == PictureFit::Stretch
                             ? request.screenSize
                             : loaded.naturalSize.boundedTo(request.screenSize);
    if (loaded.image.size() != wanted)
        fail(request, &loaded, "a picture of another size than asked for");
}

void checkAgainstLibrary(const PictureRequest &request,
                         const std::optional<LoadedPicture> &loaded,
                         const ReferencePicture &expected,
                         PictureFormat format)
{
    if (expected.outcome == LibraryOutcome::Failed) {
        if (loaded && (format == PictureFormat::Png || loaded->decoder != PictureDecoder::QtReader))
            fail(request, &*loaded, "the library refuses the file, the player shows it");
        return;
    }
    if (expected.outcome == LibraryOutcome::TooLarge)
        return;
    if (!loaded)
        fail(request, nullptr, "the library decodes the file, the player does not");
    if (loaded->naturalSize != expected.naturalSize
        || loaded->visibleOffset != expected.visibleOffset
        || loaded->image.size() != expected.image.size())
        fail(request, &*loaded, "another part or size of the picture than the library's");
    const PictureDifference difference = pictureDifference(loaded->image, expected.image);
    if (difference.maxDifference != 0) {
        std::fprintf(stderr,
                     "picture_decoder_fuzzer: PSNR %.2f dB, largest difference %d\n",
                     difference.psnr,
                     difference.maxDifference);
        fail(request, &*loaded, "other pixels than the library's");
    }
}

bool isPng(const std::uint8_t *data, std::size_t size)
{
    return size >= 8 && std::memcmp(data, "\x89PNG\r\n\x1a\n", 8) == 0;
}

// Writes the right check sum after every whole chunk.
void mendChecksums(std::uint8_t *data, std::size_t size)
{
    std::size_t at = 8;
    while (size - at >= 12) {
        const std::size_t length = std::size_t(data[at]) << 24 | std::size_t(data[at + 1]) << 16
                                   | std::size_t(data[at + 2]) << 8 | data[at + 3];
        if (length > size - at - 12)
            return;
        const uLong crc = crc32(0, data + at + 4, uInt(length + 4));
        std::uint8_t *into = data + at + 8 + length;
        for (int i = 0; i < 4; ++i)
            into[i] = std::uint8_t(crc >> (24 - 8 * i));
        at += 12 + length;
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static QCoreApplication application(*argc, *argv);
    // Qt's readers report every damaged file they are handed; thousands a second slow the fuzzing.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    return 0;
}

extern "C" std::size_t LLVMFuzzerCustomMutator(std::uint8_t *data,
                                               std::size_t size,
                                               std::size_t maxSize,
                                               unsigned int seed)
{
    size = LLVMFuzzerMutate(data, size, maxSize);
    // One mutation in eight keeps its check sums as they came, so that those checks are fuzzed.
    if (seed % 8 != 0 && isPng(data, size))
        mendChecksums(data, size);
    return size;
}

// Whether the whole picture is decoded too. That is the costly request, and pictures too large
// to be compared are only checked for their size: one input in eight of those is enough.
bool wantsWholePicture(QSize natural, std::size_t inputSize)
{
    return qint64(natural.width()) * natural.height() <= kComparedPixels || inputSize % 8 == 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView bytes(data, qsizetype(size));
    const EncodedPicture picture(bytes);
    ReferenceDecoder reference(bytes, kComparedPixels);
    const PictureFormat format = reference.header().format;
    QSize natural = reference.header().size;
    for (const PictureRequest &request : {PictureRequest{kTinyScreen, PictureFit::Stretch},
                                          PictureRequest{kTinyScreen, PictureFit::NaturalSize},
                                          PictureRequest{}}) {
        if (request.screenSize.isEmpty() && !wantsWholePicture(natural, size))
            break;
        const std::optional<LoadedPicture> loaded = decodePicture(picture, request, kMemoryLimit);
        if (loaded) {
            checkSize(request, *loaded);
            natural = loaded->naturalSize;
        }
        // HEIF and the formats only Qt reads have no library here to be held to.
        if (format != PictureFormat::Other)
            checkAgainstLibrary(request, loaded, reference.picture(request), format);
    }
    return 0;
}
