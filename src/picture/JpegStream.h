#pragma once

#include <QByteArray>
#include <QSize>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

// A progressive JPEG file taken apart into its frame and its scans, each scan with the Huffman
// tables in force when it began and its entropy-coded data, so that scans of different
// components can be decoded at once on different cores.

// A Huffman table built for decoding: codes of up to kFastBits bits are found by one lookup.
struct JpegHuffmanTable
{
    static constexpr int kFastBits = 9;
    std::array<std::uint16_t, 1 << kFastBits> fast{}; // length << 8 | symbol; 0 when longer
    std::array<std::int32_t, 17> maxCode{};           // per length: the largest code, or -1
    std::array<std::int32_t, 17> valueOffset{};       // per length: symbol index minus code
    std::array<std::uint8_t, 256> symbols{};
    int largestSymbol = 0; // a DC table may have none above 15
};

struct JpegComponent
{
    int id = 0;
    int h = 1; // sampling factors
    int v = 1;
    int blocksWide = 0; // the component's block grid, padded to whole MCUs
    int blocksHigh = 0;
    int scanBlocksWide = 0; // the blocks a scan of this component alone covers
    int scanBlocksHigh = 0;
    std::array<std::uint16_t, 64> quantisation{}; // in zigzag order, as the file has it
    bool quantisationLatched = false;             // taken from the tables at the first scan
};

struct JpegScan
{
    struct Part
    {
        int component = 0; // index into JpegFrame::components
        std::shared_ptr<const JpegHuffmanTable> dc;
        std::shared_ptr<const JpegHuffmanTable> ac;
    };
    std::vector<Part> parts;
    int spectralStart = 0;
    int spectralEnd = 0;
    int bitHigh = 0; // successive approximation: the bit refined before, 0 in a first scan
    int bitLow = 0;  // the bit this scan brings
    int restartInterval = 0;
    const std::uint8_t *data = nullptr; // entropy-coded bytes, unstuffed, restart markers taken out
    std::size_t size = 0;
    // Where in data each restart interval after the first begins, as its marker said. Intervals
    // past the last marker have no data: the scan ended before them.
    std::vector<std::size_t> restarts;
};

// a / b rounded up, for counts of blocks and samples.
[[nodiscard]] constexpr int ceilDiv(int a, int b)
{
    return (a + b - 1) / b;
}

// The size a picture decodes to at eighths/8 of its own, rounded up as libjpeg rounds it.
[[nodiscard]] constexpr QSize jpegScaledSize(QSize picture, int eighths)
{
    return {ceilDiv(picture.width() * eighths, 8), ceilDiv(picture.height() * eighths, 8)};
}

struct JpegFrame
{
    int width = 0;
    int height = 0;
    int maxH = 1;
    int maxV = 1;
    int mcusWide = 0;
    int mcusHigh = 0;
    std::vector<JpegComponent> components;
    std::vector<JpegScan> scans;
};

// Takes apart a progressive, Huffman-coded, 8-bit JPEG with one or three components, sampled at
// most 2x2; nothing for any other file, for one with markers libjpeg refuses, and for one whose
// restart markers are out of their order, which libjpeg resynchronises in ways of its own. The
// scans' data point into file, which is unstuffed in place. A file cut short keeps the scans it
// has; scans beyond kMaxJpegScans are left out, so a file of endless tiny scans cannot take
// endless time.
constexpr int kMaxJpegScans = 500;
[[nodiscard]] std::optional<JpegFrame> parseProgressiveJpeg(QByteArray &file);
