#pragma once

#include "picture/JpegStream.h"

#include <QRect>

#include <array>
#include <atomic>
#include <cstdint>
#include <vector>

// The DCT coefficients of one component, only those a picture scaled down within the DCT, or cut
// to a part of it, needs: those each block's scaled transform reads, and only the blocks of a
// window. Of the others only whether each is zero is kept, for every block: that is all that
// the refining scans of a progressive file ask of them. A block of n samples a side reads the
// n lowest coefficients each way (all 8 past 8 samples), except at 4, 2 and 1, where libjpeg's reduced transforms read
// all but the 4th (0-3 and 5-7), the odd ones and the first (0, 1, 3, 5, 7), and the first only.
class KeptCoefficients
{
public:
    // The window is in blocks of the component's grid; keptWide and keptHigh are the samples a
    // block makes each way.
    KeptCoefficients(const JpegComponent &component, int keptWide, int keptHigh, QRect window);
    // Whether blocks of these sizes go through libjpeg's reduced transforms.
    [[nodiscard]] static bool isReduced(int wide, int high)
    {
        return wide == high && (wide == 1 || wide == 2 || wide == 4);
    }
    // The coefficients a block keeps each way, in the order the slots hold them.
    [[nodiscard]] static int keptCoefficients(int samples, bool reduced);
    [[nodiscard]] int coefficientsWide() const { return m_coefficientsWide; }
    // The window as kept: the part of it within the component's grid.
    [[nodiscard]] static QRect keptWindow(const JpegComponent &component, QRect window);
    // What such coefficients allocate.
    [[nodiscard]] static qint64 bytesNeeded(const JpegComponent &component,
                                            int keptWide,
                                            int keptHigh,
                                            QRect window);

    [[nodiscard]] int keptWide() const { return m_keptWide; }
    [[nodiscard]] int keptHigh() const { return m_keptHigh; }
    [[nodiscard]] QRect window() const { return m_window; }
    // The kept coefficients of a block, coefficientsWide() per row, in the block's own order
    // (natural order, of the kept rows and columns only); null for a
    // block outside the window.
    [[nodiscard]] std::int16_t *block(int row, int column)
    {
        const auto windowRow = unsigned(row - m_window.top());
        const auto windowColumn = unsigned(column - m_window.left());
        if (windowRow >= unsigned(m_window.height()) || windowColumn >= unsigned(m_window.width()))
            return nullptr;
        return m_values.data()
               + (std::size_t(windowRow) * unsigned(m_window.width()) + windowColumn)
                     * std::size_t(m_perBlock);
    }
    [[nodiscard]] std::uint64_t &nonzero(int row, int column)
    {
        return m_nonzero[std::size_t(row) * m_blocksWide + column];
    }
    // Where zigzag position z is kept in a block, or -1.
    [[nodiscard]] int slotOf(int zigzag) const { return m_slotOfZigzag[std::size_t(zigzag)]; }
    [[nodiscard]] std::uint64_t keptZigzag() const { return m_keptZigzag; }

private:
    int m_keptWide;
    int m_keptHigh;
    int m_coefficientsWide;
    int m_perBlock;
    int m_blocksWide;
    QRect m_window;
    std::array<std::int8_t, 64> m_slotOfZigzag{};
    std::uint64_t m_keptZigzag = 0;
    std::vector<std::int16_t> m_values;
    std::vector<std::uint64_t> m_nonzero; // per block: zigzag positions no longer zero
};

// Where zigzag position z lies in a block, as row * 8 + column.
extern const std::array<std::uint8_t, 64> kJpegNaturalOrder;

// How far the decoding of a scan has come, in rows of the picture, so that the next scan of the
// same coefficients can follow right behind it on another core.
class ScanProgress
{
public:
    void reach(int pictureRows);
    void finish();
    void waitFor(int pictureRows) const;

private:
    std::atomic<int> m_rows{0};
};

// Decodes one scan into the coefficients of its components, each row once the scan before it
// (when there is one) has passed it, damaged data as libjpeg decodes it: what the data does not
// reach is left as it was, and each restart interval begins afresh on its own data. False for
// data libjpeg refuses. Scans of the DC coefficients and scans of each component's AC
// coefficients touch different values, so they may run on different threads.
[[nodiscard]] bool decodeJpegScan(const JpegFrame &frame,
                                  const JpegScan &scan,
                                  std::vector<KeptCoefficients> &components,
                                  const ScanProgress *before,
                                  ScanProgress &progress);
