#include "picture/JpegStream.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace {

constexpr int kTem = 0x01;
constexpr int kSof0 = 0xC0;
constexpr int kSof2 = 0xC2;
constexpr int kDht = 0xC4;
constexpr int kRst0 = 0xD0;
constexpr int kRst7 = 0xD7;
constexpr int kSoi = 0xD8;
constexpr int kEoi = 0xD9;
constexpr int kSos = 0xDA;
constexpr int kDqt = 0xDB;
constexpr int kDri = 0xDD;
constexpr int kApp0 = 0xE0;
constexpr int kApp14 = 0xEE;
constexpr int kApp15 = 0xEF;
constexpr int kCom = 0xFE;

// Reads the marker segments of one file in order; every read checks the bounds.
class SegmentReader
{
public:
    SegmentReader(std::uint8_t *bytes, std::size_t size)
        : m_bytes(bytes)
        , m_size(size)
    {}

    [[nodiscard]] bool atEnd() const { return m_pos >= m_size; }
    [[nodiscard]] std::size_t pos() const { return m_pos; }
    [[nodiscard]] std::size_t size() const { return m_size; }
    [[nodiscard]] std::uint8_t *at(std::size_t pos) const { return m_bytes + pos; }

    // The next marker, past fill bytes, and past stray bytes as libjpeg passes them, so that
    // both read the same segments; -1 at the end of the file.
    int nextMarker()
    {
        for (;;) {
            while (m_pos < m_size && m_bytes[m_pos] != 0xFF)
                ++m_pos;
            while (m_pos < m_size && m_bytes[m_pos] == 0xFF)
                ++m_pos;
            if (m_pos >= m_size)
                return -1;
            if (const int marker = m_bytes[m_pos++]; marker != 0)
                return marker;
        }
    }

    // The payload of the segment that starts here, after its two length bytes.
    std::optional<std::pair<const std::uint8_t *, std::size_t>> segment()
    {
        if (m_pos + 2 > m_size)
            return std::nullopt;
        const std::size_t length = std::size_t(m_bytes[m_pos]) << 8 | m_bytes[m_pos + 1];
        if (length < 2 || m_pos + length > m_size)
            return std::nullopt;
        const std::uint8_t *payload = m_bytes + m_pos + 2;
        m_pos += length;
        return std::pair{payload, length - 2};
    }

    void skipTo(std::size_t pos) { m_pos = pos; }

private:
    std::uint8_t *m_bytes;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

// Builds the decoding tables of the canonical code the counts and symbols describe.
std::shared_ptr<JpegHuffmanTable> buildHuffmanTable(const std::uint8_t *counts,
                                                    const std::uint8_t *symbols,
                                                    int symbolCount)
{
    auto table = std::make_shared<JpegHuffmanTable>();
    std::memcpy(table->symbols.data(), symbols, std::size_t(symbolCount));
    table->largestSymbol = symbolCount ? *std::max_element(symbols, symbols + symbolCount) : 0;
    int code = 0;
    int index = 0;
    for (int length = 1; length <= 16; ++length) {
        const int count = counts[length - 1];
        // More codes than this length has room for; libjpeg refuses the code of all ones too.
        if (code + count >= 1 << length)
            return nullptr;
        table->valueOffset[length] = index - code;
        for (int i = 0; i < count; ++i, ++code, ++index) {
            if (length <= JpegHuffmanTable::kFastBits) {
                const int shift = JpegHuffmanTable::kFastBits - length;
                for (int fill = 0; fill < 1 << shift; ++fill)
                    table->fast[std::size_t(code << shift | fill)] = std::uint16_t(
                        length << 8 | symbols[index]);
            }
        }
        table->maxCode[length] = count ? code - 1 : -1;
        code <<= 1;
    }
    return table;
}

struct TablesInForce
{
    std::array<std::shared_ptr<const JpegHuffmanTable>, 4> dc;
    std::array<std::shared_ptr<const JpegHuffmanTable>, 4> ac;
    std::array<std::array<std::uint16_t, 64>, 4> quantisation{};
    std::array<bool, 4> quantisationDefined{};
    int restartInterval = 0;
};

bool readHuffmanTables(const std::uint8_t *p, std::size_t size, TablesInForce &tables)
{
    while (size > 0) {
        if (size < 17)
            return false;
        const int kind = p[0] >> 4;
        const int slot = p[0] & 15;
        int symbolCount = 0;
        for (int i = 1; i <= 16; ++i)
            symbolCount += p[i];
        if (kind > 1 || slot > 3 || symbolCount > 256 || size < std::size_t(17 + symbolCount))
            return false;
        auto table = buildHuffmanTable(p + 1, p + 17, symbolCount);
        if (!table)
            return false;
        (kind == 0 ? tables.dc : tables.ac)[std::size_t(slot)] = std::move(table);
        p += 17 + symbolCount;
        size -= std::size_t(17 + symbolCount);
    }
    return true;
}

bool readQuantisationTables(const std::uint8_t *p, std::size_t size, TablesInForce &tables)
{
    while (size > 0) {
        const bool wide = p[0] >> 4;
        const std::size_t slot = p[0] & 15;
        const std::size_t length = wide ? 129 : 65;
        if (p[0] >> 4 > 1 || slot > 3 || size < length)
            return false;
        for (std::size_t i = 0; i < 64; ++i)
            tables.quantisation[slot][i] = wide ? std::uint16_t(p[1 + 2 * i] << 8 | p[2 + 2 * i])
                                                : p[1 + i];
        tables.quantisationDefined[slot] = true;
        p += length;
        size -= length;
    }
    return true;
}

bool readFrame(const std::uint8_t *p, std::size_t size, JpegFrame &frame, int quantSlots[3])
{
    if (size < 6 || p[0] != 8)
        return false;
    frame.height = p[1] << 8 | p[2];
    frame.width = p[3] << 8 | p[4];
    const int count = p[5];
    // libjpeg refuses a frame header of any other length than its components need.
    if (frame.width == 0 || frame.height == 0 || (count != 1 && count != 3)
        || size != std::size_t(6 + 3 * count))
        return false;
    for (int i = 0; i < count; ++i) {
        JpegComponent component;
        component.id = p[6 + 3 * i];
        component.h = p[7 + 3 * i] >> 4;
        component.v = p[7 + 3 * i] & 15;
        quantSlots[i] = p[8 + 3 * i];
        if (component.h < 1 || component.h > 2 || component.v < 1 || component.v > 2
            || quantSlots[i] > 3)
            return false;
        frame.maxH = std::max(frame.maxH, component.h);
        frame.maxV = std::max(frame.maxV, component.v);
        frame.components.push_back(component);
    }
    if (count == 1)
        frame.maxH = frame.maxV = frame.components[0].h = frame.components[0].v = 1;
    frame.mcusWide = ceilDiv(frame.width, 8 * frame.maxH);
    frame.mcusHigh = ceilDiv(frame.height, 8 * frame.maxV);
    for (JpegComponent &c : frame.components) {
        c.blocksWide = frame.mcusWide * c.h;
        c.blocksHigh = frame.mcusHigh * c.v;
        c.scanBlocksWide = ceilDiv(ceilDiv(frame.width * c.h, frame.maxH), 8);
        c.scanBlocksHigh = ceilDiv(ceilDiv(frame.height * c.v, frame.maxV), 8);
    }
    return true;
}

std::optional<JpegScan> readScanHeader(const std::uint8_t *p,
                                       std::size_t size,
                                       JpegFrame &frame,
                                       const TablesInForce &tables,
                                       const int quantSlots[3])
{
    if (size < 1 || size != std::size_t(4 + 2 * p[0]) || p[0] < 1 || p[0] > 3)
        return std::nullopt;
    JpegScan scan;
    const int count = p[0];
    for (int i = 0; i < count; ++i) {
        const int id = p[1 + 2 * i];
        const int dc = p[2 + 2 * i] >> 4;
        const int ac = p[2 + 2 * i] & 15;
        // libjpeg-turbo wants the components in the frame's order, each once.
        int index = i == 0 ? 0 : scan.parts.back().component + 1;
        while (index < int(frame.components.size()) && frame.components[index].id != id)
            ++index;
        if (index == int(frame.components.size()) || dc > 3 || ac > 3)
            return std::nullopt;
        // The quantisation table in force at a component's first scan is the one it keeps.
        JpegComponent &component = frame.components[std::size_t(index)];
        const std::size_t slot = std::size_t(quantSlots[index]);
        if (!component.quantisationLatched) {
            if (!tables.quantisationDefined[slot])
                return std::nullopt;
            component.quantisation = tables.quantisation[slot];
            component.quantisationLatched = true;
        }
        scan.parts.push_back({index, tables.dc[std::size_t(dc)], tables.ac[std::size_t(ac)]});
    }
    const std::uint8_t *tail = p + 1 + 2 * count;
    scan.spectralStart = tail[0];
    scan.spectralEnd = tail[1];
    scan.bitHigh = tail[2] >> 4;
    scan.bitLow = tail[2] & 15;
    scan.restartInterval = tables.restartInterval;
    const bool dcScan = scan.spectralStart == 0;
    if (scan.spectralEnd > 63 || scan.spectralStart > scan.spectralEnd
        || (dcScan && scan.spectralEnd != 0) || (!dcScan && count != 1) || scan.bitHigh > 13
        || scan.bitLow > 13 || (scan.bitHigh != 0 && scan.bitLow != scan.bitHigh - 1))
        return std::nullopt;
    for (const JpegScan::Part &part : scan.parts) {
        const bool dcFirst = dcScan && scan.bitHigh == 0;
        if ((dcFirst && (!part.dc || part.dc->largestSymbol > 15)) || (!dcScan && !part.ac))
            return std::nullopt;
    }
    return scan;
}

// Unstuffs the entropy-coded data of a scan that starts at pos in place, takes out its restart
// markers and notes where each one was, and returns the unstuffed length; the reader is left on
// the marker that ends it. False in irregular when the restart markers are not those the scan
// expects in their order.
std::size_t takeEntropyData(
    SegmentReader &reader, std::size_t pos, std::size_t end, JpegScan &scan, bool &irregular)
{
    std::uint8_t *const start = reader.at(pos);
    std::uint8_t *write = start;
    std::size_t read = pos;
    while (read < end) {
        const auto *found = static_cast<const std::uint8_t *>(
            std::memchr(reader.at(read), 0xFF, end - read));
        const std::size_t plain = found ? std::size_t(found - reader.at(read)) : end - read;
        std::memmove(write, reader.at(read), plain);
        write += plain;
        read += plain;
        if (!found || read + 1 >= end)
            break;
        const int next = *reader.at(read + 1);
        if (next == 0x00) {
            *write++ = 0xFF;
            read += 2;
        } else if (next >= kRst0 && next <= kRst7) {
            irregular = irregular || scan.restartInterval == 0
                        || next - kRst0 != int(scan.restarts.size() % 8);
            scan.restarts.push_back(std::size_t(write - start));
            read += 2;
        } else if (next == 0xFF) {
            ++read; // a fill byte before a marker
        } else {
            // libjpeg looks past a marker no segment can start with for the restart it wants,
            // and takes up the scan's data there again.
            irregular = irregular || (next < kSof0 && scan.restartInterval > 0);
            break;
        }
    }
    reader.skipTo(std::min(read, end));
    return std::size_t(write - start);
}

// The restart intervals a scan has.
int intervalsOf(const JpegFrame &frame, const JpegScan &scan)
{
    const JpegComponent &first = frame.components[std::size_t(scan.parts[0].component)];
    const qint64 mcus = scan.parts.size() == 1 ? qint64(first.scanBlocksWide) * first.scanBlocksHigh
                                               : qint64(frame.mcusWide) * frame.mcusHigh;
    return int(std::min<qint64>((mcus + scan.restartInterval - 1) / scan.restartInterval, INT_MAX));
}

// What the segments read so far have set up.
struct ParseState
{
    JpegFrame frame;
    TablesInForce tables;
    int quantSlots[3] = {};
    bool haveFrame = false;
};

// Takes one segment with a length; false when the file is not one this decoder takes.
bool takeSegment(int marker,
                 const std::uint8_t *payload,
                 std::size_t length,
                 SegmentReader &reader,
                 ParseState &state)
{
    switch (marker) {
    case kSof2:
        if (state.haveFrame || !readFrame(payload, length, state.frame, state.quantSlots))
            return false;
        state.haveFrame = true;
        return true;
    case kDht:
        return readHuffmanTables(payload, length, state.tables);
    case kDqt:
        return readQuantisationTables(payload, length, state.tables);
    case kDri:
        if (length != 2)
            return false;
        state.tables.restartInterval = payload[0] << 8 | payload[1];
        return true;
    case kApp14:
        // Adobe's marker: a transform of 0 means the three components are RGB, not YCbCr.
        return !(length >= 12 && std::memcmp(payload, "Adobe", 5) == 0 && payload[11] == 0);
    case kSos: {
        if (!state.haveFrame)
            return false;
        std::optional<JpegScan> scan = readScanHeader(payload,
                                                      length,
                                                      state.frame,
                                                      state.tables,
                                                      state.quantSlots);
        if (!scan)
            return false;
        const std::size_t start = reader.pos();
        bool irregular = false;
        scan->size = takeEntropyData(reader, start, reader.size(), *scan, irregular);
        scan->data = reader.at(start);
        if (irregular
            || (scan->restartInterval > 0
                && qint64(scan->restarts.size()) >= intervalsOf(state.frame, *scan)))
            return false;
        state.frame.scans.push_back(std::move(*scan));
        return true;
    }
    default:
        return true; // application data and comments
    }
}

// Whether the scans bring every coefficient of every component down to its last bit. Where they
// do not, in a file cut short or one that stops early, libjpeg guesses the missing low
// frequencies from the neighbouring blocks; such files are left to it.
bool refinesEveryCoefficient(const JpegFrame &frame)
{
    std::array<std::array<int, 64>, 3> lowestBit{};
    for (auto &bits : lowestBit)
        bits.fill(-1);
    for (const JpegScan &scan : frame.scans) {
        for (const JpegScan::Part &part : scan.parts) {
            for (int k = scan.spectralStart; k <= scan.spectralEnd; ++k)
                lowestBit[std::size_t(part.component)][std::size_t(k)] = scan.bitLow;
        }
    }
    for (std::size_t c = 0; c < frame.components.size(); ++c) {
        if (std::any_of(lowestBit[c].begin(), lowestBit[c].end(), [](int bit) { return bit != 0; }))
            return false;
    }
    return true;
}

// Components named R, G and B hold colours as they are, which the YCbCr path would mangle.
bool namesRgbComponents(const JpegFrame &frame)
{
    return frame.components.size() == 3 && frame.components[0].id == 'R'
           && frame.components[1].id == 'G' && frame.components[2].id == 'B';
}

} // namespace

std::optional<JpegFrame> parseProgressiveJpeg(QByteArray &file)
{
    auto *bytes = reinterpret_cast<std::uint8_t *>(file.data());
    const std::size_t size = std::size_t(file.size());
    if (size < 4 || bytes[0] != 0xFF || bytes[1] != kSoi)
        return std::nullopt;
    SegmentReader reader(bytes, size);
    reader.skipTo(2);
    ParseState state;
    while (!reader.atEnd() && int(state.frame.scans.size()) < kMaxJpegScans) {
        const int marker = reader.nextMarker();
        if (marker == kEoi || marker < 0)
            break;
        if ((marker >= kRst0 && marker <= kRst7) || marker == kTem) // markers without a length
            continue;
        // Other frame kinds (baseline, lossless, arithmetic coding) and DNL are not ours; what
        // libjpeg does not know at all (a second SOI among it) it refuses.
        const bool application = (marker >= kApp0 && marker <= kApp15) || marker == kCom;
        if (!application && marker != kSof2 && marker != kDht && marker != kDqt && marker != kDri
            && marker != kSos)
            return std::nullopt;
        const auto segment = reader.segment();
        if (!segment) // cut short: libjpeg reads on into what follows
            return std::nullopt;
        if (!takeSegment(marker, segment->first, segment->second, reader, state))
            return std::nullopt;
    }
    if (!state.haveFrame || !refinesEveryCoefficient(state.frame) || namesRgbComponents(state.frame))
        return std::nullopt;
    return std::move(state.frame);
}
