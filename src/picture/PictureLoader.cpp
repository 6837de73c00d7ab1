#include "picture/PictureLoader.h"

#include "picture/ColourTransform.h"
#include "picture/EmbeddedColourProfile.h"
#include "picture/HeifDecoder.h"
#include "picture/JpegDecoder.h"
#include "picture/MemoryBudget.h"
#include "picture/PngDecoder.h"
#include "platform/FileBytes.h"
#include "platform/NativePath.h"

#include <QBuffer>
#include <QImageReader>

#include <new>
#include <system_error>

namespace {

// Far beyond any photo: decoded, a picture in a file this large would not fit the memory limit.
constexpr qint64 kMaxPictureFileBytes = qint64(1024) * 1024 * 1024;
constexpr int kBytesPerPixel = 4;

bool isJpeg(QByteArrayView head)
{
    return head.startsWith("\xFF\xD8");
}

bool isPng(QByteArrayView head)
{
    return head.startsWith("\x89PNG\r\n\x1a\n");
}

// Some of Qt's readers (MNG) tell a picture's size only once they have read it: such a picture is
// read whole, then cut and scaled as the screen needs it.
std::optional<LoadedPicture> fittedAfterReading(QImage image,
                                                const PictureRequest &request,
                                                MemoryBudget &budget)
{
    const DecodePlan plan = planDecode(image.size(), QImageIOHandler::TransformationNone, request);
    if (!budget.take(image.sizeInBytes()))
        return std::nullopt;
    if (plan.clipRect)
        image = image.copy(*plan.clipRect);
    if (plan.scaledSize)
        image = image.scaled(*plan.scaledSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (image.isNull())
        return std::nullopt;
    return LoadedPicture{std::move(image),
                         plan.naturalSize,
                         plan.visibleOffset,
                         PictureDecoder::QtReader};
}

// Qt's readers, for the formats the player has no decoder of its own for and for what its own
// refuse: the format from the content (so a .dib opens), the orientation honoured.
std::optional<LoadedPicture> decodeWithQt(QByteArrayView bytes,
                                          const PictureRequest &request,
                                          MemoryBudget &budget)
{
    QBuffer device;
    device.setData(QByteArray::fromRawData(bytes.data(), bytes.size()));
    device.open(QIODevice::ReadOnly);
    QImageReader reader(&device);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true);
    // A picture too large to hold whole is refused even when only a scaled copy is asked for:
    // such sizes come from decompression bombs, which would take ages to decode.
    const QSize fileSize = reader.size();
    if (qint64(fileSize.width()) * fileSize.height() * kBytesPerPixel > budget.left())
        return std::nullopt;
    const DecodePlan plan = planDecode(fileSize, reader.transformation(), request);
    const QSize made = plan.scaledSize ? *plan.scaledSize
                       : plan.clipRect ? plan.clipRect->size()
                                       : fileSize;
    if (!budget.take(qint64(made.width()) * made.height() * kBytesPerPixel))
        return std::nullopt;
    if (plan.scaledSize)
        reader.setScaledSize(*plan.scaledSize);
    if (plan.clipRect)
        reader.setClipRect(*plan.clipRect);
    QImage image = reader.read();
    if (image.isNull())
        return std::nullopt;
    if (!fileSize.isValid())
        return fittedAfterReading(std::move(image), request, budget);
    return LoadedPicture{std::move(image),
                         plan.naturalSize,
                         plan.visibleOffset,
                         PictureDecoder::QtReader};
}

std::optional<LoadedPicture> decodeByFormat(const EncodedPicture &picture,
                                            const PictureRequest &request,
                                            const std::optional<QByteArray> &profile,
                                            qint64 memoryLimit)
{
    const QByteArrayView head = picture.bytes().first(std::min<qsizetype>(picture.size(), 16));
    // A JPEG's or PNG's signature comes first: a JPEG may well hold "ftyp" where HEIF has it.
    // The own PNG decoder takes every PNG libpng takes, so a PNG it refuses goes no further: Qt's
    // reader is libpng, which would refuse it too, and on the way allocate what a damaged chunk's
    // length claims, hundreds of megabytes for a file of a few hundred bytes.
    if (isPng(head)) {
        MemoryBudget budget(memoryLimit);
        return decodePngPicture(picture, request, profile, budget);
    }
    if (isJpeg(head)) {
        MemoryBudget budget(memoryLimit);
        if (std::optional<LoadedPicture> own = decodeJpegPicture(picture, request, profile, budget))
            return own;
    } else if (isHeifPicture(head)) { // Qt has no reader for the HEIF of phones and cameras
        MemoryBudget budget(memoryLimit);
        return decodeHeifPicture(picture.bytes(), request, budget);
    }
    MemoryBudget budget(memoryLimit);
    return decodeWithQt(picture.bytes(), request, budget);
}

// The picture's colours as the screen should show them, unless its decoder has converted them.
void showInScreenColours(LoadedPicture &loaded,
                         const std::optional<QByteArray> &profile,
                         const QByteArray &screenProfile)
{
    if (loaded.colours == PictureColours::AsStored)
        loaded.colours = convertToScreenColours(loaded.image, profile, screenProfile);
}

} // namespace

std::optional<LoadedPicture> decodePicture(const EncodedPicture &picture,
                                           const PictureRequest &request,
                                           qint64 memoryLimit)
{
    // Memory or a thread that cannot be had makes a picture that cannot be read, not a crash.
    try {
        const std::optional<QByteArray> profile = embeddedColourProfile(picture.bytes());
        std::optional<LoadedPicture> loaded = decodeByFormat(picture, request, profile, memoryLimit);
        if (loaded)
            showInScreenColours(*loaded, profile, request.screenProfile);
        return loaded;
    } catch (const std::bad_alloc &) {
        return std::nullopt;
    } catch (const std::system_error &) {
        return std::nullopt;
    }
}

ImageReaderPictureLoader::ImageReaderPictureLoader(QByteArray screenProfile)
    : m_screenProfile(std::move(screenProfile))
{
    QImageReader::setAllocationLimit(int(kPictureMemoryLimit >> 20));
}

std::optional<LoadedPicture> ImageReaderPictureLoader::load(const QString &pathText,
                                                            const PictureRequest &request)
{
    const std::optional<FileBytes> file = FileBytes::open(openablePath(pathText),
                                                          kMaxPictureFileBytes);
    if (!file)
        return std::nullopt;
    const EncodedPicture picture(file->bytes(),
                                 [&file](qsizetype offset) { file->releaseBefore(offset); });
    PictureRequest forScreen = request;
    forScreen.screenProfile = m_screenProfile;
    std::optional<LoadedPicture> loaded = decodePicture(picture, forScreen);
    // Part of the file gone while it was read: what decoded is not the picture.
    if (file->damaged())
        return std::nullopt;
    return loaded;
}
