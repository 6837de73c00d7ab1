#include "picture/PngDecoder.h"

#include "picture/PngFilters.h"
#include "picture/RowPipe.h"
#include "picture/RowScaler.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <vector>

#include <isa-l/igzip_lib.h>

namespace {

constexpr char kSignature[] = "\x89PNG\r\n\x1a\n";
constexpr qsizetype kBatchBytes = 256 * 1024;
constexpr qint64 kReadPiece = 64 * 1024;

enum ColourType { Grey = 0, Rgb = 2, Palette = 3, GreyAlpha = 4, Rgba = 6 };

quint32 bigEndian32(const uchar *bytes)
{
    return quint32(bytes[0]) << 24 | quint32(bytes[1]) << 16 | quint32(bytes[2]) << 8 | bytes[3];
}

constexpr quint32 chunkType(const char (&name)[5])
{
    return quint32(uchar(name[0])) << 24 | quint32(uchar(name[1])) << 16
           | quint32(uchar(name[2])) << 8 | uchar(name[3]);
}

struct Header
{
    int width = 0;
    int height = 0;
    int depth = 0;
    int colourType = 0;
    int interlace = 0;

    [[nodiscard]] int channels() const
    {
        switch (colourType) {
        case Rgb:
            return 3;
        case GreyAlpha:
            return 2;
        case Rgba:
            return 4;
        default:
            return 1;
        }
    }
    [[nodiscard]] int bytesPerPixel() const { return channels() * depth / 8; }
    [[nodiscard]] qsizetype rowBytes() const { return qsizetype(width) * bytesPerPixel(); }
    [[nodiscard]] bool isTaken() const
    {
        const bool depthTaken = colourType == Palette ? depth == 8 : depth == 8 || depth == 16;
        const bool typeTaken = colourType == Grey || colourType == Rgb || colourType == Palette
                               || colourType == GreyAlpha || colourType == Rgba;
        return interlace == 0 && depthTaken && typeTaken && width > 0 && height > 0;
    }
};

// Walks the chunks of a PNG file: each next() positions the reader at the data of a chunk.
class ChunkReader
{
public:
    explicit ChunkReader(const EncodedPicture &picture)
        : m_picture(picture)
    {}

    bool open()
    {
        if (m_picture.size() < 8 || std::memcmp(m_picture.data(), kSignature, 8) != 0)
            return false;
        m_at = 8;
        return true;
    }

    // Skips what is left of the current chunk and its check sum.
    bool next(quint32 *type, quint32 *length)
    {
        m_at += m_left;
        m_left = 0;
        if (m_picture.size() - m_at < 8)
            return false;
        const uchar *head = m_picture.data() + m_at;
        *length = bigEndian32(head);
        *type = bigEndian32(head + 4);
        m_at += 8;
        m_left = qint64(*length) + 4;
        return *length <= 0x7fffffffU;
    }

    // Up to max bytes of the current chunk's data.
    qint64 read(uchar *into, qint64 max)
    {
        const qint64 got = std::min({max, m_left - 4, m_picture.size() - m_at});
        if (got <= 0)
            return got < 0 ? -1 : 0;
        std::memcpy(into, m_picture.data() + m_at, std::size_t(got));
        m_at += got;
        m_left -= got;
        m_picture.doneBefore(m_at);
        return got;
    }

private:
    const EncodedPicture &m_picture;
    qint64 m_at = 0;   // the next byte to read
    qint64 m_left = 0; // of the current chunk, its check sum included
};

QRgb premultiplied(uint red, uint green, uint blue, uint alpha)
{
    return qPremultiply(qRgba(int(red), int(green), int(blue), int(alpha)));
}

// Unfilters the rows as they come and turns the visible ones into 32-bit pixels for the scaler.
class RowConverter
{
public:
    RowConverter(const Header &header, QRect visible, RowScaler &scaler)
        : m_header(header)
        , m_visible(visible)
        , m_scaler(scaler)
        , m_bpp(header.bytesPerPixel())
        , m_rows{std::vector<uchar>(std::size_t(header.rowBytes() + m_bpp)),
                 std::vector<uchar>(std::size_t(header.rowBytes() + m_bpp))}
        , m_pixels(std::size_t(visible.width()))
    {}

    void setPalette(const std::array<QRgb, 256> &palette) { m_palette = palette; }

    void addRows(const uchar *raw, int count)
    {
        const qsizetype size = m_header.rowBytes();
        for (int i = 0; i < count && m_good; ++i, raw += size + 1, ++m_row) {
            uchar *row = m_rows[m_row % 2].data() + m_bpp;
            const uchar *above = m_rows[(m_row + 1) % 2].data() + m_bpp;
            m_good = unfilterPngRow(raw[0], raw + 1, row, above, size, m_bpp);
            if (m_row >= m_visible.top() && m_row <= m_visible.bottom()) {
                convert(row);
                m_scaler.addRows(reinterpret_cast<const uchar *>(m_pixels.data()), 1, 0);
            }
        }
    }

    [[nodiscard]] bool isGood() const { return m_good; }

private:
    void convert(const uchar *row)
    {
        const int step = m_header.depth / 8; // 16-bit samples keep their high byte
        const int stride = m_bpp;
        const uchar *in = row + qsizetype(m_visible.left()) * stride;
        QRgb *out = m_pixels.data();
        const int width = m_visible.width();
        switch (m_header.colourType) {
        case Grey:
            for (int x = 0; x < width; ++x, in += stride)
                out[x] = 0xff000000U | in[0] * 0x010101U;
            break;
        case GreyAlpha:
            for (int x = 0; x < width; ++x, in += stride)
                out[x] = premultiplied(in[0], in[0], in[0], in[step]);
            break;
        case Rgb:
            for (int x = 0; x < width; ++x, in += stride)
                out[x] = 0xff000000U | uint(in[0]) << 16 | uint(in[step]) << 8 | in[2 * step];
            break;
        case Rgba:
            for (int x = 0; x < width; ++x, in += stride)
                out[x] = premultiplied(in[0], in[step], in[2 * step], in[3 * step]);
            break;
        case Palette:
            for (int x = 0; x < width; ++x)
                out[x] = m_palette[in[x]];
            break;
        }
    }

    const Header &m_header;
    QRect m_visible;
    RowScaler &m_scaler;
    int m_bpp;
    std::vector<uchar> m_rows[2]; // this row and the one above, in turn
    std::vector<QRgb> m_pixels;
    std::array<QRgb, 256> m_palette{};
    int m_row = 0;
    bool m_good = true;
};

// Inflates the image data into whole raw rows (filter byte first) and hands them to the pipe,
// until the rows needed are there or the data ends. ISA-L's inflate takes a third of zlib's time
// on a photo's rows, and unlike whole-buffer inflaters it streams, so the rows never sit in
// memory all at once.
class RowInflater
{
public:
    RowInflater()
        : m_state(std::make_unique<inflate_state>())
    {
        isal_inflate_init(m_state.get());
        m_state->crc_flag = ISAL_DEFLATE; // raw deflate: the zlib header is skipped below
    }

    // Feeds one piece of the zlib stream; false when the data is broken.
    bool feed(const uchar *data, qint64 size, RowPipe &pipe, int rowsNeeded)
    {
        // The two bytes of zlib's own header, then raw deflate data: its check sum is not
        // worth the time on pictures whose rows are checked by the eye.
        while (m_headerLeft > 0 && size > 0) {
            if (m_headerLeft == 2 && (data[0] & 0x0f) != kDeflateMethod)
                return false;
            if (m_headerLeft == 1 && (data[0] & 0x20) != 0)
                return false; // a preset dictionary, which PNG never uses
            --m_headerLeft;
            ++data;
            --size;
        }
        inflate_state &state = *m_state;
        state.next_in = const_cast<uchar *>(data);
        state.avail_in = quint32(size);
        while (state.avail_in > 0 && !ended() && m_rowsSent < rowsNeeded) {
            if (!m_batch) {
                m_batch = pipe.batchToFill();
                m_batchRows = std::min(pipe.rowsPerBatch(), rowsNeeded - m_rowsSent);
                m_filled = 0;
            }
            const qsizetype batchBytes = m_batchRows * pipe.rowBytes();
            state.next_out = m_batch + m_filled;
            state.avail_out = quint32(batchBytes - m_filled);
            const quint32 inBefore = state.avail_in;
            // No progress with room on both sides would loop for ever: only a stream asking for
            // a dictionary does that.
            if (isal_inflate(&state) < 0
                || (state.avail_in == inBefore && state.avail_out == batchBytes - m_filled
                    && !ended()))
                return false;
            m_filled = batchBytes - state.avail_out;
            if (m_filled == batchBytes) {
                pipe.submit(m_batchRows);
                m_rowsSent += m_batchRows;
                m_batch = nullptr;
            }
        }
        return true;
    }

    [[nodiscard]] int rowsSent() const { return m_rowsSent; }

private:
    static constexpr int kDeflateMethod = 8;

    [[nodiscard]] bool ended() const { return m_state->block_state == ISAL_BLOCK_FINISH; }

    std::unique_ptr<inflate_state> m_state; // 85 KiB of tables and window, too big for a stack
    int m_headerLeft = 2;
    uchar *m_batch = nullptr;
    int m_batchRows = 0;
    qsizetype m_filled = 0;
    int m_rowsSent = 0;
};

bool readHeader(ChunkReader &chunks, Header *header)
{
    quint32 type = 0;
    quint32 length = 0;
    uchar data[13];
    if (!chunks.open() || !chunks.next(&type, &length) || type != chunkType("IHDR") || length != 13
        || chunks.read(data, 13) != 13)
        return false;
    header->width = int(std::min(bigEndian32(data), 0x7fffffffU));
    header->height = int(std::min(bigEndian32(data + 4), 0x7fffffffU));
    header->depth = data[8];
    header->colourType = data[9];
    header->interlace = data[12];
    return data[10] == 0 && data[11] == 0;
}

// What the chunks before the image data say of the colours: the palette and its transparency.
struct Colours
{
    std::array<QRgb, 256> palette{};
    bool transparent = false;
};

// Reads the chunks up to the first image data chunk, which is then open; nothing when the file
// ends first or holds what is left to Qt.
std::optional<Colours> readColours(ChunkReader &chunks,
                                   const Header &header,
                                   std::vector<uchar> &piece,
                                   quint32 *type,
                                   quint32 *length)
{
    Colours colours;
    colours.palette.fill(0xff000000U);
    colours.transparent = header.colourType == GreyAlpha || header.colourType == Rgba;
    while (chunks.next(type, length) && *type != chunkType("IDAT")) {
        if (*type == chunkType("PLTE") && *length % 3 == 0 && *length <= 768) {
            if (chunks.read(piece.data(), *length) != *length)
                return std::nullopt;
            for (quint32 i = 0; i < *length / 3; ++i)
                colours.palette[i] = qRgb(piece[3 * i], piece[3 * i + 1], piece[3 * i + 2]);
        } else if (*type == chunkType("tRNS")) {
            if (header.colourType != Palette || *length > 256)
                return std::nullopt; // a colour key: left to Qt
            if (chunks.read(piece.data(), *length) != *length)
                return std::nullopt;
            for (quint32 i = 0; i < *length; ++i) {
                const QRgb colour = colours.palette[i];
                colours.palette[i] = premultiplied(qRed(colour),
                                                   qGreen(colour),
                                                   qBlue(colour),
                                                   piece[i]);
            }
            colours.transparent = true;
        }
    }
    if (*type != chunkType("IDAT"))
        return std::nullopt;
    return colours;
}

// Inflates the image data chunks, from the open one on, into the pipe until the rows needed are
// there; false when the data is broken or ends before them.
bool inflateRows(ChunkReader &chunks,
                 quint32 type,
                 quint32 length,
                 std::vector<uchar> &piece,
                 RowPipe &pipe,
                 int rowsNeeded)
{
    RowInflater inflater;
    while (type == chunkType("IDAT") && inflater.rowsSent() < rowsNeeded) {
        const qint64 got = chunks.read(piece.data(), kReadPiece);
        if (got < 0)
            return false;
        if (got == 0) {
            if (!chunks.next(&type, &length))
                return false;
            continue;
        }
        if (!inflater.feed(piece.data(), got, pipe, rowsNeeded))
            return false;
    }
    return inflater.rowsSent() >= rowsNeeded;
}

} // namespace

std::optional<LoadedPicture> decodePngPicture(const EncodedPicture &picture,
                                              const PictureRequest &request,
                                              MemoryBudget &budget)
{
    ChunkReader chunks(picture);
    Header header;
    if (!readHeader(chunks, &header) || !header.isTaken()
        || qint64(header.width) * header.height * 4 > budget.left())
        return std::nullopt;
    const QSize fileSize(header.width, header.height);
    const DecodePlan plan = planDecode(fileSize, QImageIOHandler::TransformationNone, request);
    const QRect visible = plan.clipRect.value_or(QRect(QPoint(0, 0), fileSize));
    const QSize target = plan.scaledSize.value_or(visible.size());
    const qsizetype rawRowBytes = header.rowBytes() + 1;
    const int rowsPerBatch = int(std::clamp<qsizetype>(kBatchBytes / rawRowBytes, 1, 64));
    // The read piece, two unfiltered rows, a row of pixels, the pipe's batches, the inflater's
    // tables and the scaler.
    if (!budget.take(kReadPiece + 2 * (rawRowBytes + 8) + qint64(visible.width()) * 4
                     + 3 * rawRowBytes * rowsPerBatch + qint64(sizeof(inflate_state))
                     + RowScaler::bytesNeeded(visible.size(), target)))
        return std::nullopt;
    std::vector<uchar> piece(kReadPiece);
    quint32 type = 0;
    quint32 length = 0;
    const std::optional<Colours> colours = readColours(chunks, header, piece, &type, &length);
    if (!colours)
        return std::nullopt;

    RowScaler scaler(visible.size(),
                     target,
                     colours->transparent ? QImage::Format_ARGB32_Premultiplied
                                          : QImage::Format_RGB32);
    RowConverter converter(header, visible, scaler);
    converter.setPalette(colours->palette);
    RowPipe pipe(rawRowBytes, rowsPerBatch, [&converter](const uchar *rows, int count) {
        converter.addRows(rows, count);
    });
    // Rows below the visible part are never inflated.
    const bool inflated = inflateRows(chunks, type, length, piece, pipe, visible.bottom() + 1);
    if (!pipe.finish() || !inflated || !converter.isGood())
        return std::nullopt;
    QImage image = scaler.takeResult();
    if (image.isNull())
        return std::nullopt;
    return LoadedPicture{std::move(image),
                         plan.naturalSize,
                         plan.visibleOffset,
                         PictureDecoder::Png};
}
