#include "picture/RowScaler.h"

#include "picture/ColourTransform.h"
#include "picture/RowPipe.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define VS_ROW_SCALER_SSE2 1
#endif

namespace {

constexpr int kChannels = 4;
constexpr std::int64_t kAcrossUnit = 16384; // weights across a row: 14 bits, for 16-bit products
constexpr std::int64_t kDownUnit = 4096;    // weights down a column

// The share of one target pixel that the part [from, to) of it carries, in 1/unit, rounded so
// that the shares of all parts of the pixel add up to exactly one unit. Positions count in
// 1/(source size) of a target pixel, from the target pixel's start.
std::uint32_t share(std::int64_t from, std::int64_t to, std::int64_t sourceSize, std::int64_t unit)
{
    return static_cast<std::uint32_t>(to * unit / sourceSize - from * unit / sourceSize);
}

// sums[i] += scaled[i] * weight; a weight has at most 13 bits.
void addWeighted(std::uint32_t *sums,
                 const std::uint16_t *scaled,
                 std::size_t values,
                 std::uint32_t weight)
{
    std::size_t i = 0;
#ifdef VS_ROW_SCALER_SSE2
    // The low and high halves of the 16 x 16-bit products, put together into 32-bit lanes.
    const __m128i weights = _mm_set1_epi16(static_cast<short>(weight));
    for (; i + 8 <= values; i += 8) {
        const __m128i values8 = _mm_loadu_si128(reinterpret_cast<const __m128i *>(scaled + i));
        const __m128i low = _mm_mullo_epi16(values8, weights);
        const __m128i high = _mm_mulhi_epu16(values8, weights);
        auto *into = reinterpret_cast<__m128i *>(sums + i);
        _mm_storeu_si128(into, _mm_add_epi32(_mm_loadu_si128(into), _mm_unpacklo_epi16(low, high)));
        _mm_storeu_si128(into + 1,
                         _mm_add_epi32(_mm_loadu_si128(into + 1), _mm_unpackhi_epi16(low, high)));
    }
#endif
    for (; i < values; ++i)
        sums[i] += scaled[i] * weight;
}

// The finished target row: each sum, in 1/(256 * kDownUnit) of a unit, rounded to a byte.
void storeRounded(uchar *out, const std::uint32_t *sums, std::size_t values)
{
    std::size_t i = 0;
#ifdef VS_ROW_SCALER_SSE2
    const __m128i half = _mm_set1_epi32(1 << 19);
    for (; i + 8 <= values; i += 8) {
        const auto *from = reinterpret_cast<const __m128i *>(sums + i);
        const __m128i first = _mm_srli_epi32(_mm_add_epi32(_mm_loadu_si128(from), half), 20);
        const __m128i second = _mm_srli_epi32(_mm_add_epi32(_mm_loadu_si128(from + 1), half), 20);
        const __m128i words = _mm_packs_epi32(first, second);
        _mm_storel_epi64(reinterpret_cast<__m128i *>(out + i), _mm_packus_epi16(words, words));
    }
#endif
    for (; i < values; ++i)
        out[i] = static_cast<uchar>((sums[i] + (1U << 19)) >> 20);
}

} // namespace

RowScaler::RowScaler(QSize source,
                     QSize target,
                     QImage::Format format,
                     const ColourTransform *rowColours)
    : m_source(source)
    , m_target(target)
    , m_rowColours(rowColours)
    , m_gatherWhole(target.width() > source.width() || target.height() > source.height()
                    || target == source)
{
    m_image = QImage(m_gatherWhole ? source : target, format);
    if (m_image.isNull() || m_gatherWhole)
        return;

    // Source column i spans [i * dw, (i + 1) * dw) and target column x spans [x * sw, (x + 1) * sw),
    // both in 1/(dw * sw) of the picture's width.
    const std::int64_t sw = source.width();
    const std::int64_t dw = target.width();
    // An even number of taps, so they go in pairs; a target column near the right edge starts
    // early enough for all of them to lie in the row, the first ones weighing nothing.
    m_maxTaps = static_cast<int>((sw + dw - 1) / dw) + 2;
    m_maxTaps += m_maxTaps % 2;
    m_tapsFitTheRow = m_maxTaps <= sw;
    m_firstColumn.resize(target.width());
    m_columnWeights.assign(std::size_t(target.width()) * m_maxTaps, 0);
    for (std::int64_t x = 0; x < dw; ++x) {
        const std::int64_t start = x * sw;
        const std::int64_t end = start + sw;
        const std::int64_t covered = start / dw;
        const std::int64_t first = m_tapsFitTheRow ? std::min(covered, sw - m_maxTaps) : covered;
        m_firstColumn[x] = static_cast<int>(first);
        for (std::int64_t i = covered; i * dw < end; ++i) {
            const std::int64_t from = std::max(i * dw, start) - start;
            const std::int64_t to = std::min((i + 1) * dw, end) - start;
            m_columnWeights[x * m_maxTaps + (i - first)] = share(from, to, sw, kAcrossUnit);
        }
    }
    m_scaledRow.resize(std::size_t(target.width()) * kChannels);
    for (auto &sums : m_sums)
        sums.assign(std::size_t(target.width()) * kChannels, 0);
}

void RowScaler::addRows(const uchar *rows, int count, qsizetype stride)
{
    for (int i = 0; i < count && m_sourceRow < m_source.height() && !m_image.isNull(); ++i) {
        const uchar *row = rows + i * stride;
        if (m_gatherWhole) {
            uchar *copy = m_image.scanLine(m_sourceRow);
            std::memcpy(copy, row, std::size_t(m_source.width()) * 4);
            if (m_source == m_target)
                finished(copy);
        } else {
            scaleAcross(row);
            sumDown();
        }
        ++m_sourceRow;
    }
}

void RowScaler::scaleAcross(const uchar *row)
{
#ifdef VS_ROW_SCALER_SSE2
    if (m_tapsFitTheRow) {
        scaleAcrossInPairs(row);
        return;
    }
#endif
    const int width = m_target.width();
    const std::uint32_t *weights = m_columnWeights.data();
    std::uint16_t *out = m_scaledRow.data();
    const int lastColumn = m_source.width() - 1;
    for (int x = 0; x < width; ++x, weights += m_maxTaps, out += kChannels) {
        std::uint32_t sum[kChannels] = {32, 32, 32, 32};
        const int first = m_firstColumn[x];
        for (int k = 0; k < m_maxTaps; ++k) {
            const uchar *pixel = row + std::min(first + k, lastColumn) * kChannels;
            for (int c = 0; c < kChannels; ++c)
                sum[c] += pixel[c] * weights[k];
        }
        for (int c = 0; c < kChannels; ++c)
            out[c] = static_cast<std::uint16_t>(sum[c] >> 6);
    }
}

#ifdef VS_ROW_SCALER_SSE2
// Two source pixels at a time: their channels interleaved in 16-bit lanes, each pair of lanes
// multiplied by the two weights and added in one instruction.
void RowScaler::scaleAcrossInPairs(const uchar *row)
{
    const int width = m_target.width();
    const std::uint32_t *weights = m_columnWeights.data();
    std::uint16_t *out = m_scaledRow.data();
    const __m128i zero = _mm_setzero_si128();
    const __m128i half = _mm_set1_epi32(32);
    const __m128i signBit = _mm_set1_epi32(0x8000);
    for (int x = 0; x < width; ++x, weights += m_maxTaps, out += kChannels) {
        const uchar *pixels = row + std::ptrdiff_t(m_firstColumn[x]) * kChannels;
        __m128i sum = half;
        for (int k = 0; k < m_maxTaps; k += 2, pixels += 2 * kChannels) {
            __m128i two = _mm_loadl_epi64(reinterpret_cast<const __m128i *>(pixels));
            two = _mm_unpacklo_epi8(two, zero);
            two = _mm_unpacklo_epi16(two, _mm_srli_si128(two, 8));
            const auto pair = static_cast<int>(weights[k] | weights[k + 1] << 16);
            sum = _mm_add_epi32(sum, _mm_madd_epi16(two, _mm_set1_epi32(pair)));
        }
        // From 32-bit to 16-bit lanes: the packing saturates signed, so shift the range there.
        const __m128i scaled = _mm_sub_epi32(_mm_srli_epi32(sum, 6), signBit);
        const __m128i packed = _mm_xor_si128(_mm_packs_epi32(scaled, scaled),
                                             _mm_set1_epi16(-0x8000));
        std::memcpy(out, &packed, 8);
    }
}
#endif

// Source row r spans [r * dh, (r + 1) * dh) and target row y spans [y * sh, (y + 1) * sh); a
// source row adds to at most two target rows, as the target is not taller than the source.
void RowScaler::sumDown()
{
    const std::int64_t sh = m_source.height();
    const std::int64_t dh = m_target.height();
    const std::int64_t top = m_sourceRow * dh;
    const std::int64_t bottom = top + dh;
    const std::size_t values = m_scaledRow.size();
    for (int slot = 0; slot < 2; ++slot) {
        const std::int64_t y = m_sumRow + slot;
        const std::int64_t start = y * sh;
        if (y >= dh || start >= bottom)
            break;
        const std::uint32_t weight = share(std::max(top, start) - start,
                                           std::min(bottom, start + sh) - start,
                                           sh,
                                           kDownUnit);
        addWeighted(m_sums[slot].data(), m_scaledRow.data(), values, weight);
    }
    if (bottom >= (m_sumRow + 1) * sh) {
        storeRounded(m_image.scanLine(m_sumRow), m_sums[0].data(), values);
        finished(m_image.scanLine(m_sumRow));
        std::swap(m_sums[0], m_sums[1]);
        std::fill(m_sums[1].begin(), m_sums[1].end(), 0);
        ++m_sumRow;
    }
}

qint64 RowScaler::bytesNeeded(QSize source, QSize target)
{
    const auto area = [](QSize size) { return qint64(size.width()) * size.height() * kChannels; };
    const bool gatherWhole = target.width() > source.width() || target.height() > source.height()
                             || target == source;
    if (gatherWhole)
        return area(source) + (source == target ? 0 : area(target));
    // The picture, a row scaled across, two rows of sums and the column weights.
    const qint64 row = qint64(target.width()) * kChannels;
    const qint64 taps = source.width() / std::max(1, target.width()) + 2;
    return area(target) + row * (2 + 2 * 4) + qint64(target.width()) * taps * 4;
}

void RowScaler::finished(uchar *row) const
{
    if (m_rowColours)
        m_rowColours->convertRows(row, m_target.width(), 1, 0);
}

QImage RowScaler::takeResult()
{
    if (m_gatherWhole && !m_image.isNull() && m_source != m_target) {
        QImage scaled = m_image.scaled(m_target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        for (int y = 0; y < scaled.height(); ++y)
            finished(scaled.scanLine(y));
        return scaled;
    }
    return std::move(m_image);
}

std::optional<QImage> scaleOnSecondCore(QSize source,
                                        QSize target,
                                        int rowsPerBatch,
                                        const FillRows &fill,
                                        const ColourTransform *rowColours)
{
    RowScaler scaler(source, target, QImage::Format_RGB32, rowColours);
    RowPipe pipe(
        qsizetype(source.width()) * 4,
        rowsPerBatch,
        [&scaler, &pipe](const uchar *rows, int count) {
            scaler.addRows(rows, count, pipe.rowBytes());
        },
        RowPipe::worthASecondCore(qint64(source.width()) * source.height()));
    for (int first = 0; first < source.height(); first += rowsPerBatch) {
        const int count = std::min(rowsPerBatch, source.height() - first);
        if (!fill(pipe.batchToFill(), first, count, pipe.rowBytes()))
            return std::nullopt;
        pipe.submit(count);
    }
    if (!pipe.finish())
        return std::nullopt;
    QImage image = scaler.takeResult();
    if (image.isNull())
        return std::nullopt;
    return image;
}
