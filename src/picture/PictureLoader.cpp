#include "picture/PictureLoader.h"

#include "picture/HeifDecoder.h"
#include "picture/JpegDecoder.h"
#include "picture/PngDecoder.h"
#include "platform/NativePath.h"
#include "platform/RegularFile.h"

#include <QImageReader>
#include <QTransform>

namespace {

// Far beyond any photo: decoded, a picture in a file this large would not fit the allocation limit.
constexpr qint64 kMaxPictureFileBytes = qint64(1024) * 1024 * 1024;

// Turns a picture decoded in the file's orientation upright, as QImageReader's auto transform does.
QImage upright(QImage image, QImageIOHandler::Transformations transformation)
{
    if (transformation == QImageIOHandler::TransformationNone)
        return image;
    image = image.mirrored(transformation.testFlag(QImageIOHandler::TransformationMirror),
                           transformation.testFlag(QImageIOHandler::TransformationFlip));
    if (swapsAxes(transformation))
        image = image.transformed(QTransform().rotate(90));
    return image;
}

constexpr qint64 kLimit = qint64(ImageReaderPictureLoader::kAllocationLimitMegabytes) << 20;

// The formats decoded here rather than by Qt's handlers, straight to the size the screen needs.
std::optional<QImage> decodeFast(const QByteArray &format,
                                 const QString &path,
                                 const DecodePlan &plan)
{
    if (format == "jpeg")
        return decodeJpeg(path, plan, kLimit);
    if (format == "png")
        return decodePng(path, plan, kLimit);
    return std::nullopt;
}

} // namespace

ImageReaderPictureLoader::ImageReaderPictureLoader()
{
    QImageReader::setAllocationLimit(kAllocationLimitMegabytes);
}

std::optional<LoadedPicture> ImageReaderPictureLoader::load(const QString &pathText,
                                                            const PictureRequest &request)
{
    const QString path = openablePath(pathText);
    // A pipe or device would block the window, so only regular files are decoded.
    if (notAReadableFile(path, kMaxPictureFileBytes))
        return std::nullopt;
    // Qt has no reader for the HEIF pictures of today's phones and cameras.
    if (isHeifFile(path))
        return decodeHeifPicture(path, request, qint64(kAllocationLimitMegabytes) * 1024 * 1024);
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true);
    // A picture too large to hold whole is refused even when only a scaled copy is asked for:
    // such sizes come from decompression bombs, which would take ages to decode.
    const QSize fileSize = reader.size();
    if (qint64(fileSize.width()) * fileSize.height() * 4 > kLimit)
        return std::nullopt;
    const DecodePlan plan = planDecode(fileSize, reader.transformation(), request);
    QImage image;
    if (std::optional<QImage> decoded = decodeFast(reader.format(), path, plan)) {
        image = upright(std::move(*decoded), reader.transformation());
    } else {
        if (plan.scaledSize)
            reader.setScaledSize(*plan.scaledSize);
        if (plan.clipRect)
            reader.setClipRect(*plan.clipRect);
        image = reader.read();
    }
    if (image.isNull())
        return std::nullopt;
    const QSize natural = plan.naturalSize.isValid() ? plan.naturalSize : image.size();
    return LoadedPicture{std::move(image), natural, plan.visibleOffset};
}
