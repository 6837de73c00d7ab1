#include "HeifFiles.h"

#include <QFile>
#include <QScopeGuard>

#include <libheif/heif.h>

#include <cstring>
#include <memory>

namespace {

bool ok(const heif_error &error)
{
    return error.code == heif_error_Ok;
}

struct HeifDeleter
{
    void operator()(heif_context *context) const { heif_context_free(context); }
    void operator()(heif_encoder *encoder) const { heif_encoder_release(encoder); }
    void operator()(heif_image *image) const { heif_image_release(image); }
    void operator()(heif_encoding_options *options) const { heif_encoding_options_free(options); }
};

template<typename T>
using HeifPointer = std::unique_ptr<T, HeifDeleter>;

// libheif's picture of the same pixels, 8-bit RGB.
HeifPointer<heif_image> heifImage(const QImage &picture)
{
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    heif_image *image = nullptr;
    if (!ok(heif_image_create(rgb.width(),
                              rgb.height(),
                              heif_colorspace_RGB,
                              heif_chroma_interleaved_RGB,
                              &image)))
        return nullptr;
    HeifPointer<heif_image> owned(image);
    if (!ok(heif_image_add_plane(image, heif_channel_interleaved, rgb.width(), rgb.height(), 8)))
        return nullptr;
    int stride = 0;
    uint8_t *plane = heif_image_get_plane(image, heif_channel_interleaved, &stride);
    for (int y = 0; y < rgb.height(); ++y)
        std::memcpy(plane + qsizetype(y) * stride, rgb.constScanLine(y), rgb.width() * 3);
    return owned;
}

} // namespace

bool writeHeifPicture(const QString &path,
                      const QImage &picture,
                      HeifCodec codec,
                      int orientation,
                      const HeifSmallCopy &smallCopy,
                      const HeifColours &colours)
{
    const HeifPointer<heif_context> context(heif_context_alloc());
    heif_encoder *rawEncoder = nullptr;
    if (!ok(heif_context_get_encoder_for_format(context.get(),
                                                codec == HeifCodec::Hevc ? heif_compression_HEVC
                                                                         : heif_compression_AV1,
                                                &rawEncoder)))
        return false;
    const HeifPointer<heif_encoder> encoder(rawEncoder);
    heif_encoder_set_lossy_quality(encoder.get(), 90);
    // Each encoder knows only its own speed setting; the other call fails harmlessly.
    heif_encoder_set_parameter_string(encoder.get(), "preset", "ultrafast");
    heif_encoder_set_parameter_integer(encoder.get(), "speed", 9);

    const HeifPointer<heif_image> image = heifImage(picture);
    const HeifPointer<heif_encoding_options> options(heif_encoding_options_alloc());
    options->image_orientation = static_cast<heif_orientation>(orientation);
    if (image && !colours.iccProfile.isEmpty())
        heif_image_set_raw_color_profile(image.get(),
                                         "prof",
                                         colours.iccProfile.constData(),
                                         std::size_t(colours.iccProfile.size()));
    heif_color_profile_nclx *nclx = colours.primaries ? heif_nclx_color_profile_alloc() : nullptr;
    if (nclx && image) {
        heif_nclx_color_profile_set_color_primaries(nclx, quint16(colours.primaries));
        heif_nclx_color_profile_set_transfer_characteristics(nclx, quint16(colours.transfer));
        options->output_nclx_profile = nclx;
        heif_image_set_nclx_color_profile(image.get(), nclx);
        options->macOS_compatibility_workaround_no_nclx_profile = 0; // libheif leaves it out else
    }
    const auto nclxFree = qScopeGuard([nclx] { heif_nclx_color_profile_free(nclx); });
    heif_image_handle *handle = nullptr;
    if (!image
        || !ok(heif_context_encode_image(context.get(),
                                         image.get(),
                                         encoder.get(),
                                         options.get(),
                                         &handle)))
        return false;
    bool written = true;
    if (!smallCopy.source.isNull()) {
        const HeifPointer<heif_image> copy = heifImage(smallCopy.source);
        written = copy
                  && ok(heif_context_encode_thumbnail(context.get(),
                                                      copy.get(),
                                                      handle,
                                                      encoder.get(),
                                                      options.get(),
                                                      smallCopy.boxSize,
                                                      nullptr));
    }
    heif_image_handle_release(handle);
    return written
           && ok(heif_context_write_to_file(context.get(), QFile::encodeName(path).constData()));
}
