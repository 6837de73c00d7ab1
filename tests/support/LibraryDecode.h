#pragma once

// What libjpeg-turbo and libpng themselves make of a picture file, and from that the picture the
// player should show for a request. The player's own decoders are held to it.
//
// The reference follows the player everywhere but in the decoding: libjpeg decodes at the same
// eighths of the size the player picks, the rows are averaged down to the screen by the player's
// own RowScaler, in the file's orientation as the player does it, then turned upright as Qt reads
// the EXIF orientation, and cut to the centred part a screen shows at natural size. libjpeg stops
// after the last row, as the player does; libpng reads on to the end of the file, as Qt's reader
// and the player's PNG decoder do. So what differs is what the decoders made:
// - PNG is lossless: the player's pixels must equal libpng's exactly, 16-bit samples rounded to
//   8 bits as png_set_scale_16 rounds them and transparency premultiplied as Qt premultiplies.
// - libjpeg driven by the player is the same library with the same settings: the same pixels.
// - Colours are converted from the file's profile for an sRGB screen by the player's own
//   conversion, after the scaling and cutting as the player converts them, a CMYK JPEG's as
//   libjpeg decodes its rows: what is compared is still the decoding.
// - The player's progressive decoder builds its samples with libjpeg's own transforms, or with
//   copies of them that are exact to the bit, and upsamples and converts colour as libjpeg does:
//   the same pixels too, damaged files included. Where it cannot follow libjpeg (a block whose
//   values overflow libjpeg-turbo's 16-bit SIMD arithmetic, scans that leave coefficients for
//   libjpeg to smooth), it leaves the file to libjpeg.

#include "picture/PictureDecoding.h"

#include <QByteArrayView>
#include <QImage>
#include <QImageIOHandler>

#include <map>
#include <optional>

enum class PictureFormat { Jpeg, Png, Other };

enum class LibraryOutcome {
    Clean,    // decoded, nothing reported
    Warned,   // decoded past damage it reported
    Failed,   // stopped with an error
    TooLarge, // not tried: more pixels than the caller allowed
};

// What the library read of the file's header.
struct LibraryHeader
{
    PictureFormat format = PictureFormat::Other;
    LibraryOutcome outcome = LibraryOutcome::Failed;
    QSize size; // in the file's own orientation
    QImageIOHandler::Transformations transformation = QImageIOHandler::TransformationNone;
    // A progressive, Huffman-coded, 8-bit grey or YCbCr JPEG sampled at most 2x2: what the
    // player's own progressive decoder takes.
    bool progressiveOwnJpeg = false;
    bool cmyk = false;
    // The JPEG's ICC profile as libjpeg puts it together, the PNG's as the player reads it:
    // libpng judges profiles by rules of its own, where the player takes what Little CMS can use.
    std::optional<QByteArray> colourProfile;
};

// Pixels in the file's orientation: Format_RGB32, or premultiplied ARGB32 for a PNG with an
// alpha channel or tRNS; null unless the outcome is Clean or Warned.
struct LibraryImage
{
    QImage image;
    LibraryOutcome outcome = LibraryOutcome::Failed;
};

[[nodiscard]] LibraryHeader readLibraryHeader(QByteArrayView bytes);
// libjpeg-turbo's decode at eighths/8 of the size, as BGRX.
[[nodiscard]] LibraryImage decodeWithLibjpeg(QByteArrayView bytes, int eighths);
// libpng's decode: palettes, low depths and tRNS expanded, 16 bits scaled to 8, Adam7 undone.
[[nodiscard]] LibraryImage decodeWithLibpng(QByteArrayView bytes);
// The smallest M/8 of libjpeg's scales at which the picture is at least the size wanted.
[[nodiscard]] int jpegEighthsFor(QSize file, QSize wanted);

struct ReferencePicture
{
    LibraryOutcome outcome = LibraryOutcome::Failed;
    QImage image;         // what the screen should show; null unless decoded
    QSize naturalSize;    // upright
    QPoint visibleOffset; // of image within the upright picture
    PictureDecoder decoder = PictureDecoder::QtReader; // the one the player should use
};

// The reference pictures of one file, whose bytes must outlive it; each library decode is made
// once, for all requests that need it. Pictures of more than maxPixels are not decoded.
// Colours are converted for an sRGB screen as the player converts them, or left as the library
// decoded them (but a CMYK JPEG's, which libjpeg cannot turn into colours by itself).
enum class ReferenceColours { ForAnSrgbScreen, AsStored };

class ReferenceDecoder
{
public:
    explicit ReferenceDecoder(QByteArrayView bytes,
                              qint64 maxPixels = qint64(1) << 28,
                              ReferenceColours colours = ReferenceColours::ForAnSrgbScreen);
    ReferenceDecoder(QByteArrayView bytes, ReferenceColours colours)
        : ReferenceDecoder(bytes, qint64(1) << 28, colours)
    {}

    [[nodiscard]] const LibraryHeader &header() const { return m_header; }
    [[nodiscard]] ReferencePicture picture(const PictureRequest &request);

private:
    const LibraryImage &decoded(int eighths);

    QByteArrayView m_bytes;
    LibraryHeader m_header;
    qint64 m_maxPixels;
    ReferenceColours m_colours;
    std::map<int, LibraryImage> m_decodes; // by eighths
};

struct PictureDifference
{
    double psnr = 0; // infinite when equal
    int maxDifference = 0;
};

// Compares two pictures of the same size as premultiplied ARGB32.
[[nodiscard]] PictureDifference pictureDifference(const QImage &a, const QImage &b);
[[nodiscard]] const char *decoderName(PictureDecoder decoder);
