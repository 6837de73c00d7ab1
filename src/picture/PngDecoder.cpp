#include "picture/PngDecoder.h"

#include "picture/PngChunks.h"
#include "picture/PngFilters.h"
#include "picture/PngImageData.h"
#include "picture/RowPipe.h"
#include "picture/RowScaler.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <vector>

namespace {

constexpr qsizetype kBatchBytes = 256 * 1024;

quint16 bigEndian16(const uchar *bytes)
{
    return quint16(bytes[0] << 8 | bytes[1]);
}

QRgb premultiplied(uint red, uint green, uint blue, uint alpha)
{
    return qPremultiply(qRgba(int(red), int(green), int(blue), int(alpha)));
}

// A sample below 8 bits, the first one of the row's bits most significant.
uint packedSample(const uchar *row, int index, int depth)
{
    const int bit = index * depth;
    return (row[bit >> 3] >> (8 - depth - (bit & 7))) & ((1U << depth) - 1);
}

// Grey and RGB pixels, the colour key making one transparent; samples as the file has them.
QRgb keyedPixel(uint red,
                uint green,
                uint blue,
                const std::optional<PngColourKey> &key,
                uint keyRed,
                uint keyGreen,
                uint keyBlue,
                int depth)
{
    const auto eight = [depth](uint sample) {
        return depth == 16 ? roundedTo8Bits(sample) : sample * (255 / ((1U << depth) - 1));
    };
    if (key && red == keyRed && green == keyGreen && blue == keyBlue)
        return 0; // transparent, and premultiplied
    return qRgb(int(eight(red)), int(eight(green)), int(eight(blue)));
}

void convertGrey(const PngHeader &header,
                 const PngColours &colours,
                 const uchar *row,
                 int left,
                 int width,
                 QRgb *out)
{
    const int depth = header.depth;
    const std::optional<PngColourKey> &key = colours.key;
    const uint keyGrey = key ? key->red : 0;
    if (depth == 8 && !key) {
        for (int x = 0; x < width; ++x)
            out[x] = 0xff000000U | row[left + x] * 0x010101U;
        return;
    }
    for (int x = 0; x < width; ++x) {
        const int at = left + x;
        const uint grey = depth == 16  ? bigEndian16(row + 2 * at)
                          : depth == 8 ? row[at]
                                       : packedSample(row, at, depth);
        out[x] = keyedPixel(grey, grey, grey, key, keyGrey, keyGrey, keyGrey, depth);
    }
}

void convertRgb(const PngHeader &header,
                const PngColours &colours,
                const uchar *row,
                int left,
                int width,
                QRgb *out)
{
    const std::optional<PngColourKey> &key = colours.key;
    if (header.depth == 8 && !key) {
        const uchar *in = row + qsizetype(left) * 3;
        for (int x = 0; x < width; ++x, in += 3)
            out[x] = 0xff000000U | uint(in[0]) << 16 | uint(in[1]) << 8 | in[2];
        return;
    }
    const int bytes = header.depth / 8;
    const uchar *in = row + qsizetype(left) * 3 * bytes;
    const auto sample = [bytes](const uchar *at) { return bytes == 2 ? bigEndian16(at) : *at; };
    for (int x = 0; x < width; ++x, in += 3 * bytes) {
        out[x] = keyedPixel(sample(in),
                            sample(in + bytes),
                            sample(in + 2 * bytes),
                            key,
                            key ? key->red : 0,
                            key ? key->green : 0,
                            key ? key->blue : 0,
                            header.depth);
    }
}

void convertWithAlpha(const PngHeader &header, const uchar *row, int left, int width, QRgb *out)
{
    const int channels = header.channels();
    const bool deep = header.depth == 16;
    const int step = deep ? 2 : 1;
    const uchar *in = row + qsizetype(left) * channels * step;
    const auto sample = [deep](const uchar *at) {
        return deep ? roundedTo8Bits(bigEndian16(at)) : uint(*at);
    };
    if (channels == 2) {
        for (int x = 0; x < width; ++x, in += 2 * step) {
            const uint grey = sample(in);
            out[x] = premultiplied(grey, grey, grey, sample(in + step));
        }
        return;
    }
    for (int x = 0; x < width; ++x, in += 4 * step)
        out[x] = premultiplied(sample(in),
                               sample(in + step),
                               sample(in + 2 * step),
                               sample(in + 3 * step));
}

// Turns pixels [left, left + width) of an unfiltered row into 32-bit pixels, premultiplied when
// the picture has transparency, as libpng expands and rounds them.
void convertRow(const PngHeader &header,
                const PngColours &colours,
                const uchar *row,
                int left,
                int width,
                QRgb *out)
{
    switch (header.colourType) {
    case PngGrey:
        convertGrey(header, colours, row, left, width, out);
        return;
    case PngRgb:
        convertRgb(header, colours, row, left, width, out);
        return;
    case PngPalette:
        for (int x = 0; x < width; ++x) {
            const uint index = header.depth == 8 ? row[left + x]
                                                 : packedSample(row, left + x, header.depth);
            out[x] = colours.palette[index];
        }
        return;
    default:
        convertWithAlpha(header, row, left, width, out);
        return;
    }
}

// Unfilters the rows of a picture that is not interlaced as they come and hands the visible ones
// to the scaler as 32-bit pixels.
class RowConverter
{
public:
    RowConverter(const PngHeader &header,
                 const PngColours &colours,
                 QRect visible,
                 RowScaler &scaler)
        : m_header(header)
        , m_colours(colours)
        , m_visible(visible)
        , m_scaler(scaler)
        , m_unit(header.filterUnit())
        , m_size(header.rowBytes(header.width))
        , m_rows{std::vector<uchar>(std::size_t(m_size + m_unit)),
                 std::vector<uchar>(std::size_t(m_size + m_unit))}
        , m_pixels(std::size_t(visible.width()))
    {}

    void addRows(const uchar *raw, int count)
    {
        for (int i = 0; i < count && m_good; ++i, raw += m_size + 1, ++m_row) {
            uchar *row = m_rows[m_row % 2].data() + m_unit;
            const uchar *above = m_rows[(m_row + 1) % 2].data() + m_unit;
            m_good = unfilterPngRow(raw[0], raw + 1, row, above, m_size, m_unit);
            if (m_row >= m_visible.top() && m_row <= m_visible.bottom()) {
                convertRow(m_header,
                           m_colours,
                           row,
                           m_visible.left(),
                           m_visible.width(),
                           m_pixels.data());
                m_scaler.addRows(reinterpret_cast<const uchar *>(m_pixels.data()), 1, 0);
            }
        }
    }

    [[nodiscard]] bool isGood() const { return m_good; }

private:
    const PngHeader &m_header;
    const PngColours &m_colours;
    QRect m_visible;
    RowScaler &m_scaler;
    int m_unit;
    qsizetype m_size;
    std::vector<uchar> m_rows[2]; // this row and the one above, in turn
    std::vector<QRgb> m_pixels;
    int m_row = 0;
    bool m_good = true;
};

// Inflates the rows into batches of the pipe, those after the last visible one into nothing, as
// libpng reads every row; false when the data is broken or ends before them.
bool inflateIntoPipe(PngChunkReader &chunks, RowPipe &pipe, int rowsNeeded, int rowsInAll)
{
    ImageData data(chunks, {{pipe.rowBytes(), rowsInAll}});
    for (int rowsSent = 0; rowsSent < rowsNeeded;) {
        const int rows = std::min(pipe.rowsPerBatch(), rowsNeeded - rowsSent);
        if (!data.fill(pipe.batchToFill(), qint64(rows) * pipe.rowBytes()))
            return false;
        pipe.submit(rows);
        rowsSent += rows;
    }
    // Their filter types still count: libpng refuses a picture with a row of an unknown one.
    std::vector<uchar> unseen(std::size_t(pipe.rowBytes()));
    for (int row = rowsNeeded; row < rowsInAll; ++row) {
        if (!data.fill(unseen.data(), pipe.rowBytes()) || unseen[0] > kLastPngFilter)
            return false;
    }
    return data.finish();
}

// The picture's visible part, scaled to the target and converted by rowColours when given,
// straight from the rows of a picture that is not interlaced.
std::optional<QImage> decodeRows(PngChunkReader &chunks,
                                 const PngHeader &header,
                                 const PngColours &colours,
                                 QRect visible,
                                 QSize target,
                                 QImage::Format format,
                                 const ColourTransform *rowColours)
{
    RowScaler scaler(visible.size(), target, format, rowColours);
    RowConverter converter(header, colours, visible, scaler);
    const qsizetype rawRowBytes = header.rowBytes(header.width) + 1;
    const int rowsPerBatch = int(std::clamp<qsizetype>(kBatchBytes / rawRowBytes, 1, 64));
    RowPipe pipe(
        rawRowBytes,
        rowsPerBatch,
        [&converter](const uchar *rows, int count) { converter.addRows(rows, count); },
        RowPipe::worthASecondCore(qint64(header.width) * (visible.bottom() + 1)));
    // Rows below the visible part are inflated, not unfiltered.
    const bool inflated = inflateIntoPipe(chunks, pipe, visible.bottom() + 1, header.height);
    if (!pipe.finish() || !inflated || !converter.isGood())
        return std::nullopt;
    QImage image = scaler.takeResult();
    if (image.isNull())
        return std::nullopt;
    return image;
}

// Adam7: where each of the seven passes starts and how far apart its pixels lie.
struct Pass
{
    int x, y, stepX, stepY;
};
constexpr std::array<Pass, 7> kPasses{{{0, 0, 8, 8},
                                       {4, 0, 8, 8},
                                       {0, 4, 4, 8},
                                       {2, 0, 4, 4},
                                       {0, 2, 2, 4},
                                       {1, 0, 2, 2},
                                       {0, 1, 1, 2}}};

QSize passSize(const PngHeader &header, const Pass &pass)
{
    const auto count = [](int size, int start, int step) {
        return size > start ? (size - start + step - 1) / step : 0;
    };
    return {count(header.width, pass.x, pass.stepX), count(header.height, pass.y, pass.stepY)};
}

qint64 interlacedBytes(const PngHeader &header)
{
    qint64 bytes = 0;
    for (const Pass &pass : kPasses) {
        const QSize size = passSize(header, pass);
        if (!size.isEmpty())
            bytes += (header.rowBytes(size.width()) + 1) * size.height();
    }
    return bytes;
}

// An interlaced picture, whose passes each hold pixels from all over it, is put together whole
// and then cut or scaled.
std::optional<QImage> decodeInterlaced(PngChunkReader &chunks,
                                       const PngHeader &header,
                                       const PngColours &colours,
                                       QRect visible,
                                       QSize target,
                                       QImage::Format format)
{
    std::vector<uchar> raw(std::size_t(interlacedBytes(header)));
    std::vector<PngRowRun> rows;
    for (const Pass &pass : kPasses) {
        if (const QSize size = passSize(header, pass); !size.isEmpty())
            rows.push_back({header.rowBytes(size.width()) + 1, size.height()});
    }
    ImageData data(chunks, std::move(rows));
    if (!data.fill(raw.data(), qint64(raw.size())) || !data.finish())
        return std::nullopt;
    QImage whole(header.width, header.height, format);
    if (whole.isNull())
        return std::nullopt;
    const int unit = header.filterUnit();
    const uchar *in = raw.data();
    for (const Pass &pass : kPasses) {
        const QSize size = passSize(header, pass);
        if (size.isEmpty())
            continue;
        const qsizetype rowBytes = header.rowBytes(size.width());
        std::vector<uchar> rows[2] = {std::vector<uchar>(std::size_t(rowBytes + unit)),
                                      std::vector<uchar>(std::size_t(rowBytes + unit))};
        std::vector<QRgb> pixels(std::size_t(size.width()));
        for (int y = 0; y < size.height(); ++y, in += rowBytes + 1) {
            uchar *row = rows[y % 2].data() + unit;
            if (!unfilterPngRow(in[0], in + 1, row, rows[(y + 1) % 2].data() + unit, rowBytes, unit))
                return std::nullopt;
            convertRow(header, colours, row, 0, size.width(), pixels.data());
            auto *out = reinterpret_cast<QRgb *>(whole.scanLine(pass.y + y * pass.stepY));
            for (int x = 0; x < size.width(); ++x)
                out[pass.x + x * pass.stepX] = pixels[std::size_t(x)];
        }
    }
    if (visible.size() == target)
        return visible.size() == whole.size() ? whole : whole.copy(visible);
    RowScaler scaler(visible.size(), target, format);
    for (int y = visible.top(); y <= visible.bottom(); ++y)
        scaler.addRows(whole.constScanLine(y) + qsizetype(visible.left()) * 4, 1, 0);
    QImage image = scaler.takeResult();
    if (image.isNull())
        return std::nullopt;
    return image;
}

// What a decode allocates besides the picture: the rows and their pipe, the inflater, and for an
// interlaced picture its image data and the whole picture.
qint64 bytesNeeded(const PngHeader &header, QRect visible, QSize target)
{
    const qint64 row = header.rowBytes(header.width) + 1;
    qint64 bytes = qint64(sizeof(inflate_state)) + 6 * row + kBatchBytes * 3
                   + qint64(visible.width()) * 4 + RowScaler::bytesNeeded(visible.size(), target);
    if (header.interlaced)
        bytes += interlacedBytes(header) + qint64(header.width) * header.height * 4;
    return bytes;
}

} // namespace

std::optional<LoadedPicture> decodePngPicture(const EncodedPicture &picture,
                                              const PictureRequest &request,
                                              const std::optional<QByteArray> &profile,
                                              MemoryBudget &budget)
{
    PngChunkReader chunks(picture);
    const std::optional<PngHeader> header = chunks.readHeader();
    if (!header || qint64(header->width) * header->height * 4 > budget.left())
        return std::nullopt;
    const QSize fileSize(header->width, header->height);
    const DecodePlan plan = planDecode(fileSize, QImageIOHandler::TransformationNone, request);
    const QRect visible = plan.clipRect.value_or(QRect(QPoint(0, 0), fileSize));
    const QSize target = plan.scaledSize.value_or(visible.size());
    if (!budget.take(bytesNeeded(*header, visible, target)))
        return std::nullopt;
    const std::optional<PngColours> colours = chunks.readColours(*header);
    if (!colours)
        return std::nullopt;
    const QImage::Format format = colours->transparent ? QImage::Format_ARGB32_Premultiplied
                                                       : QImage::Format_RGB32;
    // An opaque picture's rows are converted for the screen as they are scaled; the caller
    // converts the others, whose colours are premultiplied by then.
    const std::shared_ptr<const ColourTransform>
        rowColours = header->interlaced || colours->transparent
                         ? nullptr
                         : screenColoursFor(profile, request.screenProfile, PixelLayout::Bgra)
                               .transform;
    std::optional<QImage> image = header->interlaced ? decodeInterlaced(chunks,
                                                                        *header,
                                                                        *colours,
                                                                        visible,
                                                                        target,
                                                                        format)
                                                     : decodeRows(chunks,
                                                                  *header,
                                                                  *colours,
                                                                  visible,
                                                                  target,
                                                                  format,
                                                                  rowColours.get());
    // The rest of the file is read as libpng reads it after the rows: to its end chunk.
    if (!image || !chunks.endIsSound())
        return std::nullopt;
    return LoadedPicture{std::move(*image),
                         plan.naturalSize,
                         plan.visibleOffset,
                         PictureDecoder::Png,
                         rowColours ? PictureColours::Converted : PictureColours::AsStored};
}
