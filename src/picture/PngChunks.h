#pragma once

#include "picture/EncodedPicture.h"

#include <QRgb>
#include <QtGlobal>

#include <array>
#include <optional>

// The chunks of a PNG file, read and checked as libpng checks them, so that the player's own
// decoder takes exactly the files libpng takes: the check sums of critical chunks must match,
// an ancillary chunk whose check sum does not is passed over, and the header and palette rules
// that libpng enforces hold.

enum PngColourType { PngGrey = 0, PngRgb = 2, PngPalette = 3, PngGreyAlpha = 4, PngRgba = 6 };

struct PngHeader
{
    int width = 0;
    int height = 0;
    int depth = 0;
    int colourType = 0;
    bool interlaced = false;

    [[nodiscard]] int channels() const;
    [[nodiscard]] int bitsPerPixel() const { return channels() * depth; }
    // The unit the row filters work in: a pixel's bytes, or one byte below 8 bits a pixel.
    [[nodiscard]] int filterUnit() const { return std::max(1, bitsPerPixel() / 8); }
    [[nodiscard]] qsizetype rowBytes(int pixels) const
    {
        return (qsizetype(pixels) * bitsPerPixel() + 7) / 8;
    }
};

// A colour made transparent by tRNS in a grey or RGB picture, in the file's own sample values.
struct PngColourKey
{
    quint16 red = 0; // grey pictures keep their grey here
    quint16 green = 0;
    quint16 blue = 0;
};

// What the chunks before the image data say of the colours.
struct PngColours
{
    std::array<QRgb, 256> palette{}; // premultiplied; opaque black past the file's palette
    std::optional<PngColourKey> key;
    bool transparent = false; // an alpha channel, transparent palette entries or a colour key
};

struct PngChunk
{
    quint32 type = 0;
    const uchar *data = nullptr;
    qint64 length = 0;
    bool checked = false; // its check sum matches
};

[[nodiscard]] constexpr quint32 pngChunkType(const char (&name)[5])
{
    return quint32(uchar(name[0])) << 24 | quint32(uchar(name[1])) << 16
           | quint32(uchar(name[2])) << 8 | uchar(name[3]);
}

// Walks the chunks in order; the picture is told when the bytes of a chunk are done with.
class PngChunkReader
{
public:
    explicit PngChunkReader(const EncodedPicture &picture);

    // The signature, then the header chunk; nothing when libpng would refuse them.
    [[nodiscard]] std::optional<PngHeader> readHeader();
    // The chunks up to the first image data chunk, which next() then gives; nothing when libpng
    // would refuse the picture before its image data.
    [[nodiscard]] std::optional<PngColours> readColours(const PngHeader &header);
    // The next chunk, its length and name checked as libpng checks them; nothing past the end of
    // the file or for a chunk libpng refuses.
    [[nodiscard]] std::optional<PngChunk> next();
    // After the image data: the rest of the file up to its end chunk holds nothing libpng refuses.
    [[nodiscard]] bool endIsSound();

private:
    const EncodedPicture &m_picture;
    qint64 m_at = 0;
    qint64 m_idatLimit = 0;
    bool m_paletteSeen = false;
};

// 16-bit samples rounded to 8 bits, as libpng's png_set_scale_16 rounds them.
[[nodiscard]] constexpr uint roundedTo8Bits(uint sample)
{
    return (sample * 255 + 32895) >> 16;
}
