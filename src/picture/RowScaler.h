#pragma once

#include <QImage>
#include <QSize>

class ColourTransform;

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

// Builds a picture of the target size from the rows of a larger one as they arrive, top to
// bottom, so a decoder never holds the picture at full size. Each target pixel is the average of
// the source pixels it covers (an area filter, in fixed point), which keeps fine detail from
// flickering into moiré. Rows are 32-bit pixels whose four bytes are averaged alike, so any of
// Qt's 32-bit formats passes through. Rows of a source as large as the target are copied; a
// target larger than the source in either direction is gathered at full size and smoothed up at
// the end, which only small pictures need. Given a colour transform, the scaler converts each row
// of the picture as it is finished, on the core that scales.
class RowScaler
{
public:
    RowScaler(QSize source,
              QSize target,
              QImage::Format format,
              const ColourTransform *rowColours = nullptr);
    // What a scaler of source rows to the target allocates, its picture included.
    [[nodiscard]] static qint64 bytesNeeded(QSize source, QSize target);

    // The next rows of the source, count of them, each stride bytes after the one before.
    void addRows(const uchar *rows, int count, qsizetype stride);
    // The picture once every source row has been added; a null picture when there was no memory
    // for it.
    [[nodiscard]] QImage takeResult();

private:
    void scaleAcross(const uchar *row);
    void scaleAcrossInPairs(const uchar *row);
    void sumDown();

    void finished(uchar *row) const;

    QSize m_source;
    QSize m_target;
    const ColourTransform *m_rowColours;
    QImage m_image;
    bool m_gatherWhole = false;
    int m_sourceRow = 0;
    int m_maxTaps = 0;
    bool m_tapsFitTheRow = false;   // a source row is at least as wide as a target pixel's taps
    std::vector<int> m_firstColumn; // per target column: its first source column
    std::vector<std::uint32_t> m_columnWeights; // m_maxTaps per target column, in 1/16384
    std::vector<std::uint16_t> m_scaledRow;     // one source row scaled across, in 1/256
    std::vector<std::uint32_t> m_sums[2];       // the target row being summed, and the next
    int m_sumRow = 0;                           // the target row that m_sums[0] belongs to
};

// Builds a picture of the target size, as Format_RGB32, from the rows of a source picture that
// fill(rows, first, count, stride) writes, a batch of rowsPerBatch at a time, while the second
// core scales the batch before, and converts its colours by rowColours when given. Nothing when
// fill fails or there is no memory for the picture.
using FillRows = std::function<bool(uchar *rows, int first, int count, qsizetype stride)>;
[[nodiscard]] std::optional<QImage> scaleOnSecondCore(QSize source,
                                                      QSize target,
                                                      int rowsPerBatch,
                                                      const FillRows &fill,
                                                      const ColourTransform *rowColours = nullptr);
