#include "picture/JpegScanDecoder.h"

#include <algorithm>
#include <bit>
#include <climits>

const std::array<std::uint8_t, 64> kJpegNaturalOrder = {0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32,
                                                        25, 18, 11, 4,  5,  12, 19, 26, 33, 40, 48,
                                                        41, 34, 27, 20, 13, 6,  7,  14, 21, 28, 35,
                                                        42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23,
                                                        30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39,
                                                        46, 53, 60, 61, 54, 47, 55, 62, 63};

namespace {

// The natural rows or columns of a block that a transform of n samples reads.
constexpr std::array<int, 7> kReducedFour{0, 1, 2, 3, 5, 6, 7};
constexpr std::array<int, 5> kReducedTwo{0, 1, 3, 5, 7};

// Where natural index i stands among the kept ones, or -1.
int keptIndex(int i, int samples, bool reduced)
{
    if (!reduced)
        return i < samples ? i : -1;
    const auto find = [i](const auto &kept) {
        const auto *at = std::find(kept.begin(), kept.end(), i);
        return at == kept.end() ? -1 : int(at - kept.begin());
    };
    return samples == 4 ? find(kReducedFour) : samples == 2 ? find(kReducedTwo) : i == 0 ? 0 : -1;
}

} // namespace

int KeptCoefficients::keptCoefficients(int samples, bool reduced)
{
    if (!reduced)
        return std::min(samples, 8);
    return samples == 4 ? int(kReducedFour.size()) : samples == 2 ? int(kReducedTwo.size()) : 1;
}

KeptCoefficients::KeptCoefficients(const JpegComponent &component,
                                   int keptWide,
                                   int keptHigh,
                                   QRect window)
    : m_keptWide(keptWide)
    , m_keptHigh(keptHigh)
    , m_coefficientsWide(keptCoefficients(keptWide, isReduced(keptWide, keptHigh)))
    , m_perBlock(m_coefficientsWide * keptCoefficients(keptHigh, isReduced(keptWide, keptHigh)))
    , m_blocksWide(component.blocksWide)
    , m_window(keptWindow(component, window))
    , m_values(std::size_t(m_window.width()) * std::size_t(m_window.height())
               * std::size_t(m_perBlock))
    , m_nonzero(std::size_t(component.blocksWide) * component.blocksHigh)
{
    const bool reduced = isReduced(keptWide, keptHigh);
    for (int z = 0; z < 64; ++z) {
        const int row = keptIndex(kJpegNaturalOrder[std::size_t(z)] / 8, keptHigh, reduced);
        const int column = keptIndex(kJpegNaturalOrder[std::size_t(z)] % 8, keptWide, reduced);
        const bool kept = row >= 0 && column >= 0;
        m_slotOfZigzag[std::size_t(z)] = std::int8_t(kept ? row * m_coefficientsWide + column : -1);
        if (kept)
            m_keptZigzag |= std::uint64_t(1) << z;
    }
}

QRect KeptCoefficients::keptWindow(const JpegComponent &component, QRect window)
{
    return window & QRect(0, 0, component.blocksWide, component.blocksHigh);
}

qint64 KeptCoefficients::bytesNeeded(const JpegComponent &component,
                                     int keptWide,
                                     int keptHigh,
                                     QRect window)
{
    const QRect kept = keptWindow(component, window);
    const bool reduced = isReduced(keptWide, keptHigh);
    const qint64 perBlock = qint64(keptCoefficients(keptWide, reduced))
                            * keptCoefficients(keptHigh, reduced);
    return qint64(kept.width()) * kept.height() * perBlock * qint64(sizeof(std::int16_t))
           + qint64(component.blocksWide) * component.blocksHigh * qint64(sizeof(std::uint64_t));
}

void ScanProgress::reach(int pictureRows)
{
    m_rows.store(pictureRows, std::memory_order_release);
    m_rows.notify_all();
}

void ScanProgress::finish()
{
    reach(INT_MAX);
}

void ScanProgress::waitFor(int pictureRows) const
{
    for (int seen = m_rows.load(std::memory_order_acquire); seen < pictureRows;
         seen = m_rows.load(std::memory_order_acquire))
        m_rows.wait(seen, std::memory_order_acquire);
}

namespace {

// Reads the entropy-coded bits most significant first, 64 at a time where it can; past the end
// of the data it reads zeros, as libjpeg does once it meets the marker after the data, and says
// when it has had to.
class BitReader
{
public:
    // Starts over on the data of one restart interval.
    void reset(const std::uint8_t *data, std::size_t size)
    {
        m_next = data;
        m_end = data + size;
        m_bits = 0;
        m_count = 0;
        m_padding = 0;
    }

    // At least 56 bits are buffered after this.
    void refill()
    {
        if (m_end - m_next >= 8) {
            std::uint64_t word = 0;
            for (int i = 0; i < 8; ++i)
                word = word << 8 | m_next[i];
            m_bits |= word >> m_count;
            m_next += (63 - m_count) >> 3;
            m_count |= 56;
            return;
        }
        while (m_count <= 56) {
            const std::uint64_t byte = m_next < m_end ? *m_next++ : (++m_padding, 0);
            m_bits |= byte << (56 - m_count);
            m_count += 8;
        }
    }

    // n bits, 1 to 32, with at least n buffered.
    [[nodiscard]] std::uint32_t peek(int n) const { return std::uint32_t(m_bits >> (64 - n)); }
    void consume(int n)
    {
        m_bits <<= n;
        m_count -= n;
    }
    std::uint32_t take(int n)
    {
        if (n == 0)
            return 0;
        if (m_count < n)
            refill();
        const std::uint32_t value = peek(n);
        consume(n);
        return value;
    }
    // A value of n bits as the JPEG codes it: its lower half stands for negative values.
    int takeSigned(int n)
    {
        const int value = int(take(n));
        return n && value < 1 << (n - 1) ? value - (1 << n) + 1 : value;
    }

    // Bits past the end of the data have been taken, which read as zeros.
    [[nodiscard]] bool overrun() const { return m_padding * 8 > m_count; }

    // The next Huffman symbol. A code the table does not have takes 17 bits and reads as 0, as
    // libjpeg reads it.
    int decode(const JpegHuffmanTable &table)
    {
        if (m_count < 17)
            refill();
        const std::uint16_t fast = table.fast[peek(JpegHuffmanTable::kFastBits)];
        if (fast) {
            consume(fast >> 8);
            return fast & 0xFF;
        }
        for (int length = JpegHuffmanTable::kFastBits + 1; length <= 16; ++length) {
            const auto code = std::int32_t(peek(length));
            if (code <= table.maxCode[std::size_t(length)]) {
                consume(length);
                return table
                    .symbols[std::size_t(code + table.valueOffset[std::size_t(length)]) & 0xFF];
            }
        }
        consume(17);
        return 0;
    }

private:
    const std::uint8_t *m_next = nullptr;
    const std::uint8_t *m_end = nullptr;
    std::uint64_t m_bits = 0; // the buffered bits, first bit at the top
    int m_count = 0;
    int m_padding = 0;
};

std::uint64_t bitsFrom(int first, int last)
{
    if (first > last)
        return 0;
    const std::uint64_t upTo = last == 63 ? ~std::uint64_t(0)
                                          : (std::uint64_t(1) << (last + 1)) - 1;
    return upTo & ~((std::uint64_t(1) << first) - 1);
}

std::uint64_t bitsBelow(int position)
{
    return position >= 64 ? ~std::uint64_t(0) : (std::uint64_t(1) << position) - 1;
}

// Decodes a scan as libjpeg does, damaged data included: a code the tables do not have reads as 0,
// values keep their low 16 bits, positions past the band are written where libjpeg writes them,
// and once an interval's data is spent its other blocks are left as they were until the next
// restart interval begins on data of its own.
class ScanDecoder
{
public:
    ScanDecoder(const JpegFrame &frame,
                const JpegScan &scan,
                std::vector<KeptCoefficients> &kept,
                const ScanProgress *before,
                ScanProgress &progress)
        : m_frame(frame)
        , m_scan(scan)
        , m_kept(kept)
        , m_before(before)
        , m_progress(progress)
    {}

    // False for data libjpeg refuses (a DC value past the range of an int).
    bool run()
    {
        if (m_scan.parts.size() == 1) {
            const int index = m_scan.parts[0].component;
            const JpegComponent &component = m_frame.components[std::size_t(index)];
            m_pictureRowsPerRow = 8 * m_frame.maxV / component.v;
            return runMcus(component.scanBlocksWide, component.scanBlocksHigh, [&](int x, int y) {
                return decodeBlock(m_scan.parts[0], y, x);
            });
        }
        m_pictureRowsPerRow = 8 * m_frame.maxV;
        return runMcus(m_frame.mcusWide, m_frame.mcusHigh, [&](int x, int y) {
            for (const JpegScan::Part &part : m_scan.parts) {
                const JpegComponent &c = m_frame.components[std::size_t(part.component)];
                for (int v = 0; v < c.v; ++v)
                    for (int h = 0; h < c.h; ++h)
                        if (!decodeBlock(part, y * c.v + v, x * c.h + h))
                            return false;
            }
            return true;
        });
    }

private:
    template<typename DecodeMcu>
    bool runMcus(int wide, int high, DecodeMcu decodeMcu)
    {
        const int interval = m_scan.restartInterval;
        int untilRestart = interval;
        std::size_t intervalIndex = 0;
        startInterval(0);
        for (int y = 0; y < high; ++y) {
            if (m_before)
                m_before->waitFor((y + 1) * m_pictureRowsPerRow);
            for (int x = 0; x < wide; ++x) {
                if (interval && untilRestart == 0) {
                    startInterval(++intervalIndex);
                    untilRestart = interval;
                }
                if (!m_spent) {
                    if (!decodeMcu(x, y))
                        return false;
                    m_spent = m_bits.overrun();
                }
                --untilRestart;
            }
            // Nothing more comes once the data is spent and no later interval has any.
            if (m_spent && (interval == 0 || intervalIndex >= m_scan.restarts.size()))
                return true;
            m_progress.reach((y + 1) * m_pictureRowsPerRow);
        }
        return true;
    }

    // An interval begins on its own data, with the DC predictions and the end-of-band run reset.
    // One the scan has no marker for has no data: libjpeg leaves it alone when the interval
    // before it ran past its data, and otherwise decodes its first block from zeros.
    void startInterval(std::size_t index)
    {
        m_eobRun = 0;
        m_dcPrediction.fill(0);
        const std::vector<std::size_t> &restarts = m_scan.restarts;
        if (index > restarts.size()) {
            m_bits.reset(nullptr, 0);
            return;
        }
        const std::size_t begin = index == 0 ? 0 : restarts[index - 1];
        const std::size_t end = index < restarts.size() ? restarts[index] : m_scan.size;
        m_bits.reset(m_scan.data + begin, end - begin);
        m_spent = false;
    }

    bool decodeBlock(const JpegScan::Part &part, int row, int column)
    {
        KeptCoefficients &kept = m_kept[std::size_t(part.component)];
        if (m_scan.spectralStart == 0) {
            std::int16_t *values = kept.block(row, column);
            if (m_scan.bitHigh != 0) {
                if (m_bits.take(1) && values)
                    values[0] = std::int16_t(values[0] | 1 << m_scan.bitLow);
                return true;
            }
            const int size = m_bits.decode(*part.dc);
            const int difference = m_bits.takeSigned(size);
            int &prediction = m_dcPrediction[std::size_t(part.component)];
            if ((prediction >= 0 && difference > INT_MAX - prediction)
                || (prediction < 0 && difference < INT_MIN - prediction))
                return false;
            prediction += difference;
            if (values)
                values[0] = lowBits(prediction);
            return true;
        }
        if (m_scan.bitHigh == 0)
            return decodeAcFirst(*part.ac, kept, row, column);
        return refineAc(*part.ac, kept, row, column);
    }

    // A coefficient as libjpeg keeps it: the value shifted to its bit, its low 16 bits.
    [[nodiscard]] std::int16_t lowBits(int value) const
    {
        return std::int16_t(std::uint16_t(unsigned(value) << m_scan.bitLow));
    }

    // Position k of a block; past 63, which damaged data can reach, libjpeg writes 63.
    static void store(KeptCoefficients &kept,
                      std::uint64_t &nonzero,
                      std::int16_t *values,
                      int k,
                      std::int16_t value)
    {
        const int z = std::min(k, 63);
        const std::uint64_t bit = std::uint64_t(1) << z;
        nonzero = value != 0 ? nonzero | bit : nonzero & ~bit;
        if (const int slot = kept.slotOf(z); slot >= 0 && values)
            values[slot] = value;
    }

    bool decodeAcFirst(const JpegHuffmanTable &table, KeptCoefficients &kept, int row, int column)
    {
        if (m_eobRun > 0) {
            --m_eobRun;
            return true;
        }
        std::uint64_t &nonzero = kept.nonzero(row, column);
        std::int16_t *values = kept.block(row, column);
        for (int k = m_scan.spectralStart; k <= m_scan.spectralEnd;) {
            const int symbol = m_bits.decode(table);
            const int run = symbol >> 4;
            const int size = symbol & 15;
            if (size == 0) {
                if (run < 15) {
                    m_eobRun = (1 << run) - 1 + int(m_bits.take(run));
                    break;
                }
                k += 16;
                continue;
            }
            k += run;
            store(kept, nonzero, values, k, lowBits(m_bits.takeSigned(size)));
            ++k;
        }
        return true;
    }

    // Reads the correction bit of each coefficient in positions, which are no longer zero; only
    // the kept ones need the bit applied.
    void correct(std::uint64_t positions, KeptCoefficients &kept, std::int16_t *values)
    {
        if (!positions)
            return;
        const int count = std::popcount(positions);
        if (count > 32) { // more bits than one read takes: each half of the block on its own
            correct(positions & bitsBelow(32), kept, values);
            correct(positions & ~bitsBelow(32), kept, values);
            return;
        }
        const std::uint32_t bits = m_bits.take(count);
        const int step = 1 << m_scan.bitLow;
        const std::uint64_t keptPositions = values ? positions & kept.keptZigzag() : 0;
        for (std::uint64_t hits = keptPositions; hits; hits &= hits - 1) {
            const int z = std::countr_zero(hits);
            const int index = std::popcount(positions & bitsBelow(z));
            if ((bits >> (count - 1 - index) & 1) == 0)
                continue;
            std::int16_t &value = values[kept.slotOf(z)];
            if ((value & step) == 0)
                value = std::int16_t(value + (value >= 0 ? step : -step));
        }
    }

    bool refineAc(const JpegHuffmanTable &table, KeptCoefficients &kept, int row, int column)
    {
        std::uint64_t &nonzero = kept.nonzero(row, column);
        std::int16_t *values = kept.block(row, column);
        int k = m_scan.spectralStart;
        const int end = m_scan.spectralEnd;
        if (m_eobRun == 0) {
            while (k <= end) {
                const int symbol = m_bits.decode(table);
                int run = symbol >> 4;
                const int size = symbol & 15;
                int newValue = 0;
                if (size != 0) {
                    newValue = m_bits.take(1) ? 1 << m_scan.bitLow : -(1 << m_scan.bitLow);
                } else if (run < 15) {
                    m_eobRun = (1 << run) + int(m_bits.take(run));
                    break;
                }
                // The new coefficient goes to the zero coefficient run + 1 places on, or a run
                // of 16 zeros is passed; the coefficients on the way get their corrections.
                // Short of zeros, libjpeg puts it just past the band.
                std::uint64_t zeros = ~nonzero & bitsFrom(k, end);
                for (; run > 0 && zeros; --run)
                    zeros &= zeros - 1;
                const int target = zeros ? std::countr_zero(zeros) : end + 1;
                correct(nonzero & bitsFrom(k, end) & bitsBelow(target), kept, values);
                if (newValue != 0)
                    store(kept, nonzero, values, target, std::int16_t(newValue));
                k = target + 1;
            }
        }
        if (m_eobRun > 0) {
            correct(nonzero & bitsFrom(k, end), kept, values);
            --m_eobRun;
        }
        return true;
    }

    const JpegFrame &m_frame;
    const JpegScan &m_scan;
    std::vector<KeptCoefficients> &m_kept;
    BitReader m_bits;
    const ScanProgress *m_before;
    ScanProgress &m_progress;
    int m_pictureRowsPerRow = 8;
    int m_eobRun = 0;
    bool m_spent = false; // the interval's data is spent: its other blocks are left alone
    std::array<int, 3> m_dcPrediction{};
};

} // namespace

bool decodeJpegScan(const JpegFrame &frame,
                    const JpegScan &scan,
                    std::vector<KeptCoefficients> &components,
                    const ScanProgress *before,
                    ScanProgress &progress)
{
    const bool decoded = ScanDecoder(frame, scan, components, before, progress).run();
    // Also when the scan ended early; but what follows must not overtake the scan before this
    // one, which may still be writing.
    if (before)
        before->waitFor(INT_MAX);
    progress.finish();
    return decoded;
}
