#include "picture/PngChunks.h"

#include "picture/VectorRegisters.h"

#include <cstring>

#include <isa-l/crc.h>

namespace {

constexpr char kSignature[] = "\x89PNG\r\n\x1a\n";
// libpng's default limits: the largest side, and the largest chunk other than image data.
constexpr int kMaxSide = 1'000'000;
constexpr qint64 kMaxChunk = 8'000'000;
constexpr quint32 kLargestLength = 0x7fffffffU;

quint32 bigEndian32(const uchar *bytes)
{
    return quint32(bytes[0]) << 24 | quint32(bytes[1]) << 16 | quint32(bytes[2]) << 8 | bytes[3];
}

quint16 bigEndian16(const uchar *bytes)
{
    return quint16(bytes[0] << 8 | bytes[1]);
}

bool isLetter(uchar c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// A chunk is ancillary when its name's first letter is lower case.
bool isAncillary(quint32 type)
{
    return (type >> 24) & 0x20;
}

bool depthFitsColourType(int depth, int colourType)
{
    switch (colourType) {
    case PngGrey:
        return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
    case PngPalette:
        return depth == 1 || depth == 2 || depth == 4 || depth == 8;
    case PngRgb:
    case PngGreyAlpha:
    case PngRgba:
        return depth == 8 || depth == 16;
    default:
        return false;
    }
}

// A sample value of tRNS as libpng compares it: only the bits the depth has.
quint16 keySample(const uchar *bytes, int depth)
{
    const quint16 value = bigEndian16(bytes);
    return depth == 16 ? value : quint16(value & ((1U << depth) - 1));
}

} // namespace

int PngHeader::channels() const
{
    switch (colourType) {
    case PngRgb:
        return 3;
    case PngGreyAlpha:
        return 2;
    case PngRgba:
        return 4;
    default:
        return 1;
    }
}

PngChunkReader::PngChunkReader(const EncodedPicture &picture)
    : m_picture(picture)
{}

std::optional<PngChunk> PngChunkReader::next()
{
    if (m_picture.size() - m_at < 12)
        return std::nullopt;
    const uchar *head = m_picture.data() + m_at;
    PngChunk chunk;
    const quint32 length = bigEndian32(head);
    chunk.type = bigEndian32(head + 4);
    if (length > kLargestLength || !isLetter(head[4]) || !isLetter(head[5]) || !isLetter(head[6])
        || !isLetter(head[7]))
        return std::nullopt;
    const bool imageData = chunk.type == pngChunkType("IDAT");
    if (qint64(length) > (imageData ? m_idatLimit : kMaxChunk)
        || qint64(length) > m_picture.size() - m_at - 12)
        return std::nullopt;
    chunk.length = length;
    chunk.data = head + 8;
    const quint32 stored = bigEndian32(chunk.data + length);
    chunk.checked = crc32_gzip_refl(0, head + 4, length + 4) == stored;
    clearUpperVectorRegisters();
    m_at += 12 + qint64(length);
    // A critical chunk must be whole; libpng passes over an ancillary one that is not.
    if (!chunk.checked && !isAncillary(chunk.type))
        return std::nullopt;
    m_picture.doneBefore(m_at);
    return chunk;
}

std::optional<PngHeader> PngChunkReader::readHeader()
{
    if (m_picture.size() < 8 || std::memcmp(m_picture.data(), kSignature, 8) != 0)
        return std::nullopt;
    m_at = 8;
    const std::optional<PngChunk> chunk = next();
    if (!chunk || chunk->type != pngChunkType("IHDR") || chunk->length != 13)
        return std::nullopt;
    const uchar *data = chunk->data;
    const quint32 width = bigEndian32(data);
    const quint32 height = bigEndian32(data + 4);
    PngHeader header;
    header.depth = data[8];
    header.colourType = data[9];
    header.interlaced = data[12] == 1;
    if (width == 0 || height == 0 || width > quint32(kMaxSide) || height > quint32(kMaxSide)
        || !depthFitsColourType(header.depth, header.colourType) || data[10] != 0 || data[11] != 0
        || data[12] > 1)
        return std::nullopt;
    header.width = int(width);
    header.height = int(height);
    // libpng refuses image data chunks far longer than the picture could need.
    const qint64 rowFactor = qint64(header.width) * header.channels() * (header.depth > 8 ? 2 : 1)
                             + 1 + (header.interlaced ? 6 : 0);
    qint64 limit = header.height * rowFactor;
    limit += 6 + 5 * (limit / std::min<qint64>(rowFactor, 32566) + 1);
    m_idatLimit = std::min<qint64>(limit, kLargestLength);
    return header;
}

std::optional<PngColours> PngChunkReader::readColours(const PngHeader &header)
{
    PngColours colours;
    colours.palette.fill(0xff000000U);
    colours.transparent = header.colourType == PngGreyAlpha || header.colourType == PngRgba;
    int paletteSize = 0;
    bool keySeen = false;
    const bool palette = header.colourType == PngPalette;
    for (qint64 at = m_at;; at = m_at) {
        const std::optional<PngChunk> chunk = next();
        if (!chunk)
            return std::nullopt;
        if (chunk->type == pngChunkType("IDAT")) {
            if (palette && paletteSize == 0)
                return std::nullopt; // no palette before the image data
            m_at = at;
            return colours;
        }
        if (!chunk->checked)
            continue;
        if (chunk->type == pngChunkType("PLTE")) {
            if (m_paletteSeen)
                return std::nullopt; // a second palette
            m_paletteSeen = true;
            if (!(header.colourType & 2))
                continue; // a grey picture has no use for one
            if (chunk->length == 0)
                return std::nullopt;
            if (chunk->length % 3 != 0 || chunk->length > 768) {
                if (palette)
                    return std::nullopt;
                continue;
            }
            paletteSize = int(chunk->length / 3);
            if (palette)
                paletteSize = std::min(paletteSize, 1 << header.depth);
            if (!palette)
                continue; // a suggestion for screens of few colours
            for (int i = 0; i < paletteSize; ++i) {
                const uchar *rgb = chunk->data + 3 * i;
                colours.palette[std::size_t(i)] = qRgb(rgb[0], rgb[1], rgb[2]);
            }
        } else if (chunk->type == pngChunkType("tRNS")) {
            if (keySeen || colours.transparent)
                continue; // a second one, or one beside an alpha channel
            const uchar *data = chunk->data;
            if (palette) {
                if (paletteSize == 0 || chunk->length > paletteSize || chunk->length == 0)
                    continue;
                for (qint64 i = 0; i < chunk->length; ++i) {
                    const QRgb colour = colours.palette[std::size_t(i)];
                    colours.palette[std::size_t(i)] = qPremultiply(
                        qRgba(qRed(colour), qGreen(colour), qBlue(colour), data[i]));
                }
            } else if (header.colourType == PngGrey && chunk->length == 2) {
                const quint16 grey = keySample(data, header.depth);
                colours.key = PngColourKey{grey, grey, grey};
            } else if (header.colourType == PngRgb && chunk->length == 6) {
                colours.key = PngColourKey{keySample(data, header.depth),
                                           keySample(data + 2, header.depth),
                                           keySample(data + 4, header.depth)};
            } else {
                continue;
            }
            keySeen = true;
            colours.transparent = true;
        } else if (!isAncillary(chunk->type) && chunk->type != pngChunkType("IHDR")) {
            return std::nullopt; // a critical chunk libpng does not know, or IEND already
        } else if (chunk->type == pngChunkType("IHDR")) {
            return std::nullopt;
        }
    }
}

bool PngChunkReader::endIsSound()
{
    for (;;) {
        const std::optional<PngChunk> chunk = next();
        if (!chunk)
            return false;
        if (chunk->type == pngChunkType("IEND"))
            return true;
        if (isAncillary(chunk->type) || chunk->type == pngChunkType("IDAT"))
            continue;
        // A palette after the image data is passed over, unless it is a second one.
        if (chunk->type == pngChunkType("PLTE") && !m_paletteSeen) {
            m_paletteSeen = true;
            continue;
        }
        return false;
    }
}
