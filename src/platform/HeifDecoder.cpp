#include "platform/HeifDecoder.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>

#include <libheif/heif.h>

#include <memory>

namespace {

struct ContextFree
{
    void operator()(heif_context *context) const { heif_context_free(context); }
};
struct HandleRelease
{
    void operator()(heif_image_handle *handle) const { heif_image_handle_release(handle); }
};
struct OptionsFree
{
    void operator()(heif_decoding_options *options) const { heif_decoding_options_free(options); }
};

// The file type box that opens a HEIF file names its main brand within its first 12 bytes.
constexpr qint64 kFileTypeBytes = 12;
constexpr int kBytesPerPixel = 4;

bool ok(const heif_error &error)
{
    return error.code == heif_error_Ok;
}

} // namespace

bool isHeifFile(const QString &path)
{
    // Opening a FIFO or a device to peek would block or consume it.
    if (!QFileInfo(path).isFile())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(kFileTypeBytes);
    if (head.size() < kFileTypeBytes)
        return false;
    return heif_check_filetype(reinterpret_cast<const uint8_t *>(head.constData()),
                               static_cast<int>(head.size()))
           != heif_filetype_no;
}

std::optional<LoadedPicture> decodeHeifPicture(const QString &path,
                                               const PictureRequest &request,
                                               qint64 memoryLimitBytes)
{
    const std::unique_ptr<heif_context, ContextFree> context(heif_context_alloc());
    if (!context
        || !ok(heif_context_read_from_file(context.get(),
                                           QFile::encodeName(path).constData(),
                                           nullptr)))
        return std::nullopt;
    heif_image_handle *primary = nullptr;
    if (!ok(heif_context_get_primary_image_handle(context.get(), &primary)))
        return std::nullopt;
    const std::unique_ptr<heif_image_handle, HandleRelease> handle(primary);

    const qint64 width = heif_image_handle_get_width(handle.get());
    const qint64 height = heif_image_handle_get_height(handle.get());
    if (width <= 0 || height <= 0 || width * height * kBytesPerPixel > memoryLimitBytes)
        return std::nullopt;
    const bool hasAlpha = heif_image_handle_has_alpha_channel(handle.get()) != 0;

    // Four bytes a pixel even without alpha: Qt scales that layout without converting it first.
    const std::unique_ptr<heif_decoding_options, OptionsFree> options(heif_decoding_options_alloc());
    options->convert_hdr_to_8bit = 1;
    heif_image *decoded = nullptr;
    if (!ok(heif_decode_image(handle.get(),
                              &decoded,
                              heif_colorspace_RGB,
                              heif_chroma_interleaved_RGBA,
                              options.get()))) {
        return std::nullopt;
    }
    int stride = 0;
    const uint8_t *pixels = heif_image_get_plane_readonly(decoded,
                                                          heif_channel_interleaved,
                                                          &stride);
    if (!pixels) {
        heif_image_release(decoded);
        return std::nullopt;
    }
    // The picture borrows libheif's pixels and hands them back when the last copy goes.
    const QImage whole(
        pixels,
        heif_image_get_primary_width(decoded),
        heif_image_get_primary_height(decoded),
        stride,
        hasAlpha ? QImage::Format_RGBA8888 : QImage::Format_RGBX8888,
        [](void *image) { heif_image_release(static_cast<heif_image *>(image)); },
        decoded);

    // libheif has turned the picture upright already.
    const DecodePlan plan = planDecode(whole.size(), QImageIOHandler::TransformationNone, request);
    QImage shown = whole;
    if (plan.scaledSize)
        shown = whole.scaled(*plan.scaledSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    else if (plan.clipRect)
        shown = whole.copy(*plan.clipRect);
    return LoadedPicture{std::move(shown), whole.size(), plan.visibleOffset};
}
