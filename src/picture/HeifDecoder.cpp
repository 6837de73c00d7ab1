#include "picture/HeifDecoder.h"

#include "picture/ColourProfileBuilder.h"
#include "picture/ColourTransform.h"

#include <QImage>
#include <QLibrary>

#include <libheif/heif.h>

#include <cmath>
#include <memory>
#include <vector>

namespace {

// The libheif functions the decoder calls.
#define VS_HEIF_FUNCTIONS(X) \
    X(heif_context_alloc) \
    X(heif_context_free) \
    X(heif_context_get_primary_image_handle) \
    X(heif_context_read_from_memory_without_copy) \
    X(heif_decode_image) \
    X(heif_decoding_options_alloc) \
    X(heif_decoding_options_free) \
    X(heif_image_get_plane_readonly) \
    X(heif_image_get_primary_height) \
    X(heif_image_get_primary_width) \
    X(heif_image_handle_get_color_profile_type) \
    X(heif_image_handle_get_height) \
    X(heif_image_handle_get_list_of_thumbnail_IDs) \
    X(heif_image_handle_get_nclx_color_profile) \
    X(heif_image_handle_get_number_of_thumbnails) \
    X(heif_image_handle_get_raw_color_profile) \
    X(heif_image_handle_get_raw_color_profile_size) \
    X(heif_image_handle_get_thumbnail) \
    X(heif_image_handle_get_width) \
    X(heif_image_handle_has_alpha_channel) \
    X(heif_image_handle_release) \
    X(heif_image_release) \
    X(heif_nclx_color_profile_free)

// libheif, opened when the first HEIF picture is decoded: with it come HEVC and AV1 decoders and
// an encoder, megabytes that a show of JPEG and PNG pictures never needs in memory.
struct Heif
{
#define VS_DECLARE(name) decltype(&::name) name = nullptr;
    VS_HEIF_FUNCTIONS(VS_DECLARE)
#undef VS_DECLARE
};

// The functions, or none when libheif is not installed.
const Heif *heif()
{
    static const std::optional<Heif> functions = []() -> std::optional<Heif> {
        QLibrary library(QStringLiteral("heif"), VS_LIBHEIF_SOVERSION);
        library.setLoadHints(QLibrary::ResolveAllSymbolsHint);
        if (!library.load())
            return std::nullopt;
        Heif resolved;
        bool complete = true;
#define VS_RESOLVE(name) \
    resolved.name = reinterpret_cast<decltype(&::name)>(library.resolve(#name)); \
    complete = complete && resolved.name;
        VS_HEIF_FUNCTIONS(VS_RESOLVE)
#undef VS_RESOLVE
        // Left loaded for the life of the process: pictures borrow its memory.
        return complete ? std::optional<Heif>(resolved) : std::nullopt;
    }();
    return functions ? &*functions : nullptr;
}

struct ContextFree
{
    void operator()(heif_context *context) const { heif()->heif_context_free(context); }
};
struct HandleRelease
{
    void operator()(heif_image_handle *handle) const { heif()->heif_image_handle_release(handle); }
};
struct OptionsFree
{
    void operator()(heif_decoding_options *options) const
    {
        heif()->heif_decoding_options_free(options);
    }
};

using HandlePointer = std::unique_ptr<heif_image_handle, HandleRelease>;

// The file type box that opens a HEIF file names its main brand within its first 12 bytes.
constexpr qint64 kFileTypeBytes = 12;
constexpr int kBytesPerPixel = 4;
// A copy that differs more in shape than this is not the same picture (or is turned otherwise).
constexpr double kSameShape = 0.02;

bool ok(const heif_error &error)
{
    return error.code == heif_error_Ok;
}

QSize uprightSize(const heif_image_handle *handle)
{
    return {heif()->heif_image_handle_get_width(handle),
            heif()->heif_image_handle_get_height(handle)};
}

double shapeOf(QSize size)
{
    return double(size.width()) / size.height();
}

// Phones store a small copy of every photo beside it. A stretched picture no larger than that
// copy (the editor's preview) is made from it, sparing the decoding of millions of pixels. The
// smallest copy that is large enough and of the same shape is taken; none when there is none.
HandlePointer smallCopyFor(heif_image_handle *primary, const PictureRequest &request)
{
    if (request.fit != PictureFit::Stretch || request.screenSize.isEmpty())
        return nullptr;
    const int count = heif()->heif_image_handle_get_number_of_thumbnails(primary);
    if (count <= 0)
        return nullptr;
    std::vector<heif_item_id> ids(count);
    heif()->heif_image_handle_get_list_of_thumbnail_IDs(primary, ids.data(), count);
    const double shape = shapeOf(uprightSize(primary));
    HandlePointer best;
    for (const heif_item_id id : ids) {
        heif_image_handle *copy = nullptr;
        if (!ok(heif()->heif_image_handle_get_thumbnail(primary, id, &copy)))
            continue;
        HandlePointer candidate(copy);
        const QSize size = uprightSize(copy);
        const bool fits = size.width() >= request.screenSize.width()
                          && size.height() >= request.screenSize.height()
                          && std::abs(shapeOf(size) / shape - 1) < kSameShape;
        if (fits && (!best || size.width() < uprightSize(best.get()).width()))
            best = std::move(candidate);
    }
    return best;
}

} // namespace

bool isHeifPicture(QByteArrayView head)
{
    // A file type box, whatever its brand: libheif says which it can decode.
    return head.size() >= kFileTypeBytes && head.sliced(4, 4) == "ftyp";
}

namespace {

// Decodes the handle's picture as four bytes a pixel, even without alpha: Qt scales that layout
// without converting it first. The picture borrows libheif's pixels and hands them back when the
// last copy goes.
QImage decodeHandle(heif_image_handle *handle, MemoryBudget &budget)
{
    const Heif *const api = heif();
    const qint64 width = api->heif_image_handle_get_width(handle);
    const qint64 height = api->heif_image_handle_get_height(handle);
    if (width <= 0 || height <= 0 || !budget.take(width * height * kBytesPerPixel))
        return {};
    const bool hasAlpha = api->heif_image_handle_has_alpha_channel(handle) != 0;
    const std::unique_ptr<heif_decoding_options, OptionsFree> options(
        api->heif_decoding_options_alloc());
    options->convert_hdr_to_8bit = 1;
    heif_image *decoded = nullptr;
    if (!ok(api->heif_decode_image(handle,
                                   &decoded,
                                   heif_colorspace_RGB,
                                   heif_chroma_interleaved_RGBA,
                                   options.get()))) {
        return {};
    }
    int stride = 0;
    const uint8_t *pixels = api->heif_image_get_plane_readonly(decoded,
                                                               heif_channel_interleaved,
                                                               &stride);
    if (!pixels) {
        api->heif_image_release(decoded);
        return {};
    }
    return QImage(
        pixels,
        api->heif_image_get_primary_width(decoded),
        api->heif_image_get_primary_height(decoded),
        stride,
        hasAlpha ? QImage::Format_RGBA8888 : QImage::Format_RGBX8888,
        [](void *image) { heif()->heif_image_release(static_cast<heif_image *>(image)); },
        decoded);
}

// The file read by a context that borrows its bytes, and its main picture; no picture when
// libheif is missing or cannot read the file.
struct HeifFile
{
    std::unique_ptr<heif_context, ContextFree> context;
    HandlePointer primary;
};

HeifFile openHeifFile(QByteArrayView file)
{
    if (!heif())
        return {};
    HeifFile opened{std::unique_ptr<heif_context, ContextFree>(heif()->heif_context_alloc()), {}};
    heif_context *context = opened.context.get();
    heif_image_handle *primary = nullptr;
    if (context
        && ok(heif()->heif_context_read_from_memory_without_copy(context,
                                                                 file.data(),
                                                                 std::size_t(file.size()),
                                                                 nullptr))
        && ok(heif()->heif_context_get_primary_image_handle(context, &primary)))
        opened.primary.reset(primary);
    return opened;
}

// The tone curves of nclx's transfer characteristics that describe pictures for a screen; none
// for HDR (PQ, HLG) and logarithmic ones.
std::optional<ToneCurve> toneCurveOf(heif_transfer_characteristics transfer)
{
    switch (transfer) {
    case heif_transfer_characteristic_ITU_R_BT_709_5:
    case heif_transfer_characteristic_ITU_R_BT_601_6:
    case heif_transfer_characteristic_ITU_R_BT_2020_2_10bit:
    case heif_transfer_characteristic_ITU_R_BT_2020_2_12bit:
        return ToneCurve{ToneCurve::Bt709};
    case heif_transfer_characteristic_unspecified:
    case heif_transfer_characteristic_IEC_61966_2_1:
        return ToneCurve{ToneCurve::Srgb};
    case heif_transfer_characteristic_ITU_R_BT_470_6_System_M:
        return ToneCurve{ToneCurve::Power, 2.2};
    case heif_transfer_characteristic_ITU_R_BT_470_6_System_B_G:
        return ToneCurve{ToneCurve::Power, 2.8};
    case heif_transfer_characteristic_linear:
        return ToneCurve{ToneCurve::Power, 1.0};
    default:
        return std::nullopt;
    }
}

std::optional<QByteArray> nclxProfile(const heif_image_handle *handle)
{
    heif_color_profile_nclx *nclx = nullptr;
    if (!ok(heif()->heif_image_handle_get_nclx_color_profile(handle, &nclx)) || !nclx)
        return QByteArray();
    const std::unique_ptr<heif_color_profile_nclx, void (*)(heif_color_profile_nclx *)>
        owned(nclx, [](heif_color_profile_nclx *profile) {
            heif()->heif_nclx_color_profile_free(profile);
        });
    const Chromaticities chromaticities{nclx->color_primary_white_x,
                                        nclx->color_primary_white_y,
                                        nclx->color_primary_red_x,
                                        nclx->color_primary_red_y,
                                        nclx->color_primary_green_x,
                                        nclx->color_primary_green_y,
                                        nclx->color_primary_blue_x,
                                        nclx->color_primary_blue_y};
    const std::optional<ToneCurve> curve = toneCurveOf(nclx->transfer_characteristics);
    if (!curve)
        return QByteArray();
    if (curve->kind == ToneCurve::Srgb && areSrgbChromaticities(chromaticities))
        return std::nullopt; // sRGB, as most AVIF files say
    return rgbProfileFor(chromaticities, *curve);
}

} // namespace

std::optional<QByteArray> heifColourProfile(QByteArrayView file)
{
    const HeifFile opened = openHeifFile(file);
    const HandlePointer &primary = opened.primary;
    if (!primary)
        return std::nullopt;
    const Heif *const api = heif();
    const std::size_t size = api->heif_image_handle_get_raw_color_profile_size(primary.get());
    if (size > 0) {
        if (size > std::size_t(kMaxColourProfileBytes))
            return QByteArray();
        QByteArray profile(qsizetype(size), Qt::Uninitialized);
        if (!ok(api->heif_image_handle_get_raw_color_profile(primary.get(), profile.data())))
            return QByteArray();
        return profile;
    }
    if (api->heif_image_handle_get_color_profile_type(primary.get()) == heif_color_profile_type_nclx)
        return nclxProfile(primary.get());
    return std::nullopt;
}

std::optional<LoadedPicture> decodeHeifPicture(QByteArrayView file,
                                               const PictureRequest &request,
                                               MemoryBudget &budget)
{
    const HeifFile opened = openHeifFile(file);
    const HandlePointer &primary = opened.primary;
    if (!primary)
        return std::nullopt;
    const QSize natural = uprightSize(primary.get());
    if (natural.isEmpty())
        return std::nullopt;
    const HandlePointer smallCopy = smallCopyFor(primary.get(), request);
    const QImage whole = decodeHandle(smallCopy ? smallCopy.get() : primary.get(), budget);
    if (whole.isNull())
        return std::nullopt;

    // libheif has turned the picture upright already.
    const DecodePlan plan = planDecode(whole.size(), QImageIOHandler::TransformationNone, request);
    QImage shown = whole;
    const QSize made = plan.scaledSize ? *plan.scaledSize
                       : plan.clipRect ? plan.clipRect->size()
                                       : whole.size();
    if (made != whole.size() && !budget.take(qint64(made.width()) * made.height() * kBytesPerPixel))
        return std::nullopt;
    if (plan.scaledSize)
        shown = whole.scaled(*plan.scaledSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    else if (plan.clipRect)
        shown = whole.copy(*plan.clipRect);
    if (shown.isNull())
        return std::nullopt;
    return LoadedPicture{std::move(shown), natural, plan.visibleOffset, PictureDecoder::Heif};
}
