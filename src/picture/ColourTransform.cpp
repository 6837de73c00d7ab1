#include "picture/ColourTransform.h"

#include "picture/RowPipe.h"

#include <lcms2.h>

#include <algorithm>
#include <list>
#include <mutex>
#include <system_error>
#include <thread>
#include <tuple>
#include <vector>

namespace {

// A grey sample with three bytes after it: blue of a Format_RGB32 pixel, then green, red, alpha.
constexpr cmsUInt32Number kGreyInBgra = COLORSPACE_SH(PT_GRAY) | CHANNELS_SH(1) | BYTES_SH(1)
                                        | EXTRA_SH(3);

struct Formats
{
    cmsUInt32Number input;
    cmsUInt32Number output;
    cmsUInt32Number flags;
};

Formats formatsFor(PixelLayout layout)
{
    // No cache of the last pixel, which two threads would share; alpha copied where both sides
    // have it, which in place leaves it as it is.
    constexpr cmsUInt32Number kShared = cmsFLAGS_NOCACHE;
    switch (layout) {
    case PixelLayout::Bgra:
        return {TYPE_BGRA_8, TYPE_BGRA_8, kShared | cmsFLAGS_COPY_ALPHA};
    case PixelLayout::Rgba:
        return {TYPE_RGBA_8, TYPE_RGBA_8, kShared | cmsFLAGS_COPY_ALPHA};
    case PixelLayout::GreyInBgra:
        return {kGreyInBgra, TYPE_BGRA_8, kShared};
    case PixelLayout::Cmyk:
        return {TYPE_CMYK_8, TYPE_BGRA_8, kShared};
    case PixelLayout::CmykInverted:
        return {TYPE_CMYK_8_REV, TYPE_BGRA_8, kShared};
    }
    return {TYPE_BGRA_8, TYPE_BGRA_8, kShared};
}

struct ProfileClose
{
    void operator()(void *profile) const { cmsCloseProfile(profile); }
};
using Profile = std::unique_ptr<void, ProfileClose>;

Profile openProfile(const QByteArray &bytes)
{
    if (bytes.isEmpty() || bytes.size() > kMaxColourProfileBytes)
        return nullptr;
    return Profile(cmsOpenProfileFromMem(bytes.constData(), cmsUInt32Number(bytes.size())));
}

// The screen's profile when it is one that pictures can be shown in, else sRGB's.
Profile screenProfileFrom(const QByteArray &bytes)
{
    Profile screen = openProfile(bytes);
    if (screen && cmsGetColorSpace(screen.get()) == cmsSigRgbData
        && cmsIsIntentSupported(screen.get(), INTENT_PERCEPTUAL, LCMS_USED_AS_OUTPUT))
        return screen;
    return Profile(cmsCreate_sRGBProfile());
}

// Colours spread over the whole cube, as pixels of the layout (greys for a grey one).
std::vector<uchar> sampleColours(PixelLayout layout)
{
    std::vector<uchar> pixels;
    for (int red = 0; red < 256; red += 15) {
        for (int green = 0; green < 256; green += 15) {
            for (int blue = 0; blue < 256; blue += 15) {
                if (layout == PixelLayout::GreyInBgra)
                    pixels.insert(pixels.end(), {uchar(red), uchar(red), uchar(red), 0xFF});
                else
                    pixels.insert(pixels.end(), {uchar(blue), uchar(green), uchar(red), 0xFF});
            }
        }
    }
    return pixels;
}

int largestDifference(const std::vector<uchar> &a, const std::vector<uchar> &b)
{
    int largest = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        largest = std::max(largest, std::abs(int(a[i]) - int(b[i])));
    return largest;
}

std::vector<uchar> converted(std::vector<uchar> pixels, const ColourTransform &transform)
{
    transform.convertRows(pixels.data(), int(pixels.size() / 4), 1, qsizetype(pixels.size()));
    return pixels;
}

bool isCmyk(PixelLayout layout)
{
    return layout == PixelLayout::Cmyk || layout == PixelLayout::CmykInverted;
}

// Whether the transform leaves every colour within one step of where it was, as a profile that
// describes the screen's own colours does: such a picture is shown as it is.
bool changesNoColour(const ColourTransform &transform)
{
    if (isCmyk(transform.layout()))
        return false;
    const std::vector<uchar> samples = sampleColours(transform.layout());
    return largestDifference(samples, converted(samples, transform)) <= 1;
}

// The tables take over from Little CMS where both profiles are of the matrix kind and the tables
// give its colours to within a step.
void useTablesWhereTheyAgree(ColourTransform &transform, cmsHPROFILE picture, cmsHPROFILE screen)
{
    const PixelLayout layout = transform.layout();
    if (layout != PixelLayout::Bgra && layout != PixelLayout::Rgba)
        return;
    std::optional<MatrixShaperTables> tables = MatrixShaperTables::between(picture, screen);
    if (!tables)
        return;
    std::vector<uchar> samples = sampleColours(PixelLayout::Bgra);
    const std::vector<uchar> byLittleCms = converted(samples, transform);
    tables->convertRows(samples.data(),
                        int(samples.size() / 4),
                        1,
                        qsizetype(samples.size()),
                        layout == PixelLayout::Rgba ? 0 : 2);
    if (largestDifference(samples, byLittleCms) <= 1)
        transform.useTables(std::move(*tables));
}

ScreenColours makeScreenColours(const std::optional<QByteArray> &pictureProfile,
                                const QByteArray &screenProfile,
                                PixelLayout layout)
{
    const Profile picture = pictureProfile ? openProfile(*pictureProfile)
                                           : Profile(cmsCreate_sRGBProfile());
    if (!picture)
        return {nullptr, true};
    const Profile screen = screenProfileFrom(screenProfile);
    const Formats formats = formatsFor(layout);
    cmsHTRANSFORM handle = cmsCreateTransform(picture.get(),
                                              formats.input,
                                              screen.get(),
                                              formats.output,
                                              INTENT_PERCEPTUAL,
                                              formats.flags);
    if (!handle)
        return {nullptr, true};
    auto transform = std::make_shared<ColourTransform>(handle, layout);
    if (changesNoColour(*transform))
        return {nullptr, false};
    useTablesWhereTheyAgree(*transform, picture.get(), screen.get());
    return {std::move(transform), false};
}

// The transforms made last, the newest first.
class TransformCache
{
public:
    ScreenColours get(const std::optional<QByteArray> &pictureProfile,
                      const QByteArray &screenProfile,
                      PixelLayout layout)
    {
        const std::lock_guard lock(m_mutex);
        const auto found = std::find_if(m_entries.begin(), m_entries.end(), [&](const Entry &entry) {
            return entry.layout == layout && entry.pictureProfile == pictureProfile
                   && entry.screenProfile == screenProfile;
        });
        if (found != m_entries.end()) {
            m_entries.splice(m_entries.begin(), m_entries, found);
            return found->colours;
        }
        m_entries.push_front({pictureProfile,
                              screenProfile,
                              layout,
                              makeScreenColours(pictureProfile, screenProfile, layout)});
        if (m_entries.size() > kEntries)
            m_entries.pop_back();
        return m_entries.front().colours;
    }

private:
    struct Entry
    {
        std::optional<QByteArray> pictureProfile;
        QByteArray screenProfile;
        PixelLayout layout;
        ScreenColours colours;
    };
    static constexpr std::size_t kEntries = 16;
    std::mutex m_mutex;
    std::list<Entry> m_entries;
};

bool isGreyPicture(const QImage &image)
{
    for (int y = 0; y < image.height(); ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = row[x];
            if (qRed(pixel) != qGreen(pixel) || qGreen(pixel) != qBlue(pixel))
                return false;
        }
    }
    return true;
}

// The picture's rows converted, the first half on a second core when that pays.
void convertImage(QImage &image, const ColourTransform &transform)
{
    uchar *const bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    const int width = image.width();
    const int height = image.height();
    const int firstHalf = height / 2;
    std::thread second;
    if (RowPipe::worthASecondCore(qint64(width) * height)) {
        try {
            second = std::thread([&] { transform.convertRows(bits, width, firstHalf, stride); });
        } catch (const std::system_error &) {
        }
    }
    const int from = second.joinable() ? firstHalf : 0;
    transform.convertRows(bits + from * stride, width, height - from, stride);
    if (second.joinable())
        second.join();
}

} // namespace

ColourTransform::ColourTransform(void *handle, PixelLayout layout)
    : m_handle(handle)
    , m_layout(layout)
{}

ColourTransform::~ColourTransform()
{
    cmsDeleteTransform(m_handle);
}

void ColourTransform::useTables(MatrixShaperTables tables)
{
    m_tables = std::move(tables);
}

void ColourTransform::convertRows(uchar *rows, int width, int count, qsizetype stride) const
{
    if (width <= 0 || count <= 0)
        return;
    if (m_tables) {
        m_tables->convertRows(rows, width, count, stride, m_layout == PixelLayout::Rgba ? 0 : 2);
        return;
    }
    cmsDoTransformLineStride(m_handle,
                             rows,
                             rows,
                             cmsUInt32Number(width),
                             cmsUInt32Number(count),
                             cmsUInt32Number(stride),
                             cmsUInt32Number(stride),
                             0,
                             0);
    if (!isCmyk(m_layout))
        return;
    // CMYK has no alpha: the fourth byte still holds the black sample.
    for (int y = 0; y < count; ++y) {
        uchar *row = rows + y * stride;
        for (int x = 0; x < width; ++x)
            row[x * 4 + 3] = 0xFF;
    }
}

ScreenColours screenColoursFor(const std::optional<QByteArray> &pictureProfile,
                               const QByteArray &screenProfile,
                               PixelLayout layout)
{
    if (!pictureProfile && screenProfile.isEmpty())
        return {};
    static TransformCache cache;
    return cache.get(pictureProfile, screenProfile, layout);
}

PictureColours convertToScreenColours(QImage &image,
                                      const std::optional<QByteArray> &pictureProfile,
                                      const QByteArray &screenProfile)
{
    if (!pictureProfile && screenProfile.isEmpty())
        return PictureColours::AsStored;
    // Colours are converted unpremultiplied, as they were stored.
    const QImage::Format format = image.format();
    const bool rgbaOrder = format == QImage::Format_RGBX8888 || format == QImage::Format_RGBA8888
                           || format == QImage::Format_RGBA8888_Premultiplied;
    QImage::Format workFormat = rgbaOrder ? QImage::Format_RGBA8888 : QImage::Format_ARGB32;
    if (format == QImage::Format_RGB32 || format == QImage::Format_RGBX8888
        || (!image.hasAlphaChannel() && !rgbaOrder))
        workFormat = rgbaOrder ? QImage::Format_RGBX8888 : QImage::Format_RGB32;
    const PixelLayout layout = rgbaOrder ? PixelLayout::Rgba : PixelLayout::Bgra;
    ScreenColours colours = screenColoursFor(pictureProfile, screenProfile, layout);
    QImage work = format == workFormat ? image : image.convertToFormat(workFormat);
    if (colours.unusable && layout == PixelLayout::Bgra && isGreyPicture(work))
        colours = screenColoursFor(pictureProfile, screenProfile, PixelLayout::GreyInBgra);
    if (colours.unusable || work.isNull())
        return PictureColours::ProfileUnusable;
    if (!colours.transform)
        return PictureColours::AsStored;
    image = QImage(); // the only copy of the pixels: converted in place
    convertImage(work, *colours.transform);
    const bool premultiplied = format == QImage::Format_ARGB32_Premultiplied
                               || format == QImage::Format_RGBA8888_Premultiplied;
    image = premultiplied ? work.convertToFormat(format) : std::move(work);
    return PictureColours::Converted;
}
