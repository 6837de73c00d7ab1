#pragma once

#include "picture/MatrixShaperTables.h"
#include "picture/PictureDecoding.h"

#include <QByteArray>
#include <QImage>

#include <memory>
#include <optional>

// How the pixels handed to a colour transform lie in memory, four bytes each.
enum class PixelLayout {
    Bgra,         // QImage::Format_RGB32 and Format_ARGB32
    Rgba,         // QImage::Format_RGBX8888 and Format_RGBA8888
    GreyInBgra,   // a grey picture as Format_RGB32 or Format_ARGB32: blue, green and red alike
    Cmyk,         // libjpeg's CMYK samples, turned into Format_RGB32's bytes
    CmykInverted, // the same from an Adobe JPEG, which stores the samples inverted
};

// A conversion of pixels from a picture's colour profile to the screen's, made by Little CMS, or
// from tables that give the same colours faster. It converts in place and may run on several
// threads at once.
class ColourTransform
{
public:
    ColourTransform(void *handle, PixelLayout layout);
    // From now on the tables convert, where they give what the transform gives.
    void useTables(MatrixShaperTables tables);
    ~ColourTransform();
    ColourTransform(const ColourTransform &) = delete;
    ColourTransform &operator=(const ColourTransform &) = delete;

    // Converts count rows of width pixels each, stride bytes apart.
    void convertRows(uchar *rows, int width, int count, qsizetype stride) const;
    [[nodiscard]] PixelLayout layout() const { return m_layout; }

private:
    void *m_handle;
    PixelLayout m_layout;
    std::optional<MatrixShaperTables> m_tables;
};

// What a picture's profile makes of its colours on a screen.
struct ScreenColours
{
    // Null when the colours stay as they are: the picture has no profile, or its profile gives
    // the screen's colours already, or the profile cannot be used.
    std::shared_ptr<const ColourTransform> transform;
    bool unusable = false; // a profile is there, but broken or not one for these pixels
};

// The largest profile taken; larger ones count as unusable.
inline constexpr qsizetype kMaxColourProfileBytes = qsizetype(8) << 20;

// The conversion of pixels laid out as layout from the picture's profile (none: sRGB, as every
// untagged picture is taken to be) to the screen's (empty: sRGB). Each is made once for a pair of
// profiles and kept for the next pictures, as a show's photos mostly come from one camera.
[[nodiscard]] ScreenColours screenColoursFor(const std::optional<QByteArray> &pictureProfile,
                                             const QByteArray &screenProfile,
                                             PixelLayout layout);

// Converts the picture's colours from its profile to the screen's, on two cores when it is
// large, and says what became of them. A picture in another format is turned into one a transform takes first, and a
// premultiplied one is converted without its alpha premultiplied. A profile that cannot be used
// for it (a broken one, a grey one for a colour picture) leaves the picture as it was.
PictureColours convertToScreenColours(QImage &image,
                                      const std::optional<QByteArray> &pictureProfile,
                                      const QByteArray &screenProfile);
