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

KeptCoefficients::KeptCoefficients(const JpegComponent &component,
                                   int keptWide,
                                   int keptHigh,
                                   QRect window)
    : m_keptWide(keptWide)
    , m_keptHigh(keptHigh)
    , m_perBlock(keptWide * keptHigh)
    , m_blocksWide(component.blocksWide)
    , m_window(keptWindow(component, window))
    , m_values(std::size_t(m_window.width()) * std::size_t(m_window.height())
               * std::size_t(m_perBlock))
    , m_nonzero(std::size_t(component.blocksWide) * component.blocksHigh)
{
    for (int z = 0; z < 64; ++z) {
        const int row = kJpegNaturalOrder[std::size_t(z)] / 8;
        const int column = kJpegNaturalOrder[std::size_t(z)] % 8;
        const bool kept = row < keptHigh && column < keptWide;
        m_slotOfZigzag[std::size_t(z)] = std::int8_t(kept ? row * keptWide + column : -1);
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
    return qint64(kept.width()) * kept.height() * keptWide * keptHigh * qint64(sizeof(std::int16_t))
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
// of the data it reads zeros, and says when it has read well past it.
class BitReader
{
public:
    BitReader(const std::uint8_t *data, std::size_t size)
        : m_next(data)
        , m_end(data + size)
    {}

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
    void skip(int n)
    {
        while (n > 0) {
            const int now = std::min(n, 32);
            take(now);
            n -= now;
        }
    }
    // A value of n bits as the JPEG codes it: its lower half stands for negative values.
    int takeSigned(int n)
    {
        const int value = int(take(n));
        return n && value < 1 << (n - 1) ? value - (1 << n) + 1 : value;
    }

    // The data resumes at the next whole byte, as after a restart marker.
    void alignToByte() { consume(m_count % 8); }
    // Enough zeros were read past the end that the data is cut short, not just padded.
    [[nodiscard]] bool exhausted() const { return m_padding > 16; }

    // The next Huffman symbol, or -1 for a code the table does not have.
    int decode(const JpegHuffmanTable &table)
    {
        if (m_count < 16)
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
        return -1;
    }

private:
    const std::uint8_t *m_next;
    const std::uint8_t *m_end;
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

std::int16_t clipped(int value)
{
    return std::int16_t(std::clamp(value, -32768, 32767));
}

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
        , m_bits(scan.data, scan.size)
        , m_before(before)
        , m_progress(progress)
    {}

    void run()
    {
        if (m_scan.parts.size() == 1) {
            const int index = m_scan.parts[0].component;
            const JpegComponent &component = m_frame.components[std::size_t(index)];
            m_pictureRowsPerRow = 8 * m_frame.maxV / component.v;
            runMcus(component.scanBlocksWide, component.scanBlocksHigh, [&](int x, int y) {
                return decodeBlock(m_scan.parts[0], y, x);
            });
            return;
        }
        m_pictureRowsPerRow = 8 * m_frame.maxV;
        runMcus(m_frame.mcusWide, m_frame.mcusHigh, [&](int x, int y) {
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
    void runMcus(int wide, int high, DecodeMcu decodeMcu)
    {
        int untilRestart = m_scan.restartInterval;
        for (int y = 0; y < high; ++y) {
            if (m_before)
                m_before->waitFor((y + 1) * m_pictureRowsPerRow);
            for (int x = 0; x < wide; ++x) {
                if (m_scan.restartInterval && untilRestart-- == 0) {
                    m_bits.alignToByte();
                    m_eobRun = 0;
                    m_dcPrediction.fill(0);
                    untilRestart = m_scan.restartInterval - 1;
                }
                if (!decodeMcu(x, y))
                    return;
            }
            if (m_bits.exhausted())
                return;
            m_progress.reach((y + 1) * m_pictureRowsPerRow);
        }
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
            if (size < 0 || size > 15)
                return false;
            int &prediction = m_dcPrediction[std::size_t(part.component)];
            prediction = std::int16_t(prediction + m_bits.takeSigned(size));
            if (values)
                values[0] = clipped(prediction * (1 << m_scan.bitLow));
            return true;
        }
        if (m_scan.bitHigh == 0)
            return decodeAcFirst(*part.ac, kept, row, column);
        return refineAc(*part.ac, kept, row, column);
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
            if (symbol < 0)
                return false;
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
            if (k > m_scan.spectralEnd)
                return false;
            const int value = m_bits.takeSigned(size) * (1 << m_scan.bitLow);
            nonzero |= std::uint64_t(1) << k;
            if (const int slot = kept.slotOf(k); slot >= 0 && values)
                values[slot] = clipped(value);
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
                value = clipped(value + (value >= 0 ? step : -step));
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
                if (symbol < 0)
                    return false;
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
                std::uint64_t zeros = ~nonzero & bitsFrom(k, end);
                for (; run > 0 && zeros; --run)
                    zeros &= zeros - 1;
                const int target = zeros ? std::countr_zero(zeros) : end + 1;
                correct(nonzero & bitsFrom(k, end) & bitsBelow(target), kept, values);
                if (newValue != 0 && target <= end) {
                    nonzero |= std::uint64_t(1) << target;
                    if (const int slot = kept.slotOf(target); slot >= 0 && values)
                        values[slot] = std::int16_t(newValue);
                }
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
    std::array<int, 3> m_dcPrediction{};
};

} // namespace

void decodeJpegScan(const JpegFrame &frame,
                    const JpegScan &scan,
                    std::vector<KeptCoefficients> &components,
                    const ScanProgress *before,
                    ScanProgress &progress)
{
    ScanDecoder(frame, scan, components, before, progress).run();
    // Also when broken data ended the scan early; but what follows must not overtake the scan
    // before this one, which may still be writing.
    if (before)
        before->waitFor(INT_MAX);
    progress.finish();
}
