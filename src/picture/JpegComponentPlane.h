#pragma once

#include "picture/JpegScanDecoder.h"
#include "picture/JpegStream.h"

#include <QRect>

#include <cstdint>
#include <vector>

// The samples of one component at the size the picture is decoded to, built from its kept
// coefficients by an inverse DCT scaled to the kept size, for the blocks of the coefficients'
// window. A component sampled at half the picture's resolution, where its blocks would need more
// than 8 samples a side, is built at half size and doubled as it is read, with the weights and
// rounding of libjpeg's "fancy" upsampling: each sample three parts the nearest and one part the
// next nearest.
class ComponentPlane
{
public:
    // upAcross and upDown are 1, or 2 for a component doubled in that direction; pictureSize is
    // the size of the whole decoded picture, whose edges the samples do not reach past.
    ComponentPlane(const JpegComponent &component,
                   const KeptCoefficients &kept,
                   int upAcross,
                   int upDown,
                   QSize pictureSize);
    // What a plane for such coefficients allocates.
    [[nodiscard]] static qint64 bytesNeeded(const JpegComponent &component,
                                            int keptWide,
                                            int keptHigh,
                                            QRect window,
                                            int upAcross,
                                            int upDown);

    // Builds the rows of the window that the MCU row holds.
    void build(KeptCoefficients &kept, int mcuRow);
    // Picture row y's samples for columns left to left + width - 1, which lie in the window.
    [[nodiscard]] const std::uint8_t *row(int y, int left, int width);

private:
    [[nodiscard]] const std::uint8_t *sampleRow(int componentRow) const;

    const JpegComponent &m_component;
    int m_keptWide;
    int m_keptHigh;
    int m_upAcross;
    int m_upDown;
    QRect m_samplesRect; // in the component's samples: the window, within the picture
    float m_dequantise[64] = {};
    std::size_t m_stride;
    std::vector<std::uint8_t> m_samples;
    std::vector<int> m_columnSums; // a doubled row, summed down
    std::vector<std::uint8_t> m_doubled;
};
