#pragma once

#include "picture/JpegBlockIdct.h"
#include "picture/JpegScanDecoder.h"
#include "picture/JpegStream.h"

#include <QRect>

#include <array>
#include <cstdint>
#include <vector>

// How libjpeg builds a component of a picture decoded at eighths/8 of its size: blocks of
// `samples` a side, doubled across and down where they still fall short of the picture's
// resolution. Doubling is smooth except where libjpeg only repeats samples: at 1/8, and across a
// component no more than 2 samples wide.
struct ComponentScale
{
    static ComponentScale of(const JpegFrame &frame, const JpegComponent &component, int eighths);

    int samples = 8;
    int upAcross = 1; // 1 or 2
    int upDown = 1;
    bool smooth = true;
};

// The samples of one component at the size the picture is decoded to, built from its kept
// coefficients by libjpeg's inverse DCT scaled to the kept size, for the blocks of the
// coefficients' window. A component sampled at
// half the picture's resolution is doubled as it is read, smoothly with the weights and rounding
// of libjpeg's "fancy" upsampling: each sample three parts the nearest and one part the next
// nearest.
class ComponentPlane
{
public:
    // pictureSize is the size of the whole decoded picture, whose edges the samples do not reach
    // past.
    ComponentPlane(const JpegComponent &component,
                   const KeptCoefficients &kept,
                   ComponentScale scale,
                   QSize pictureSize);
    // What a plane for such coefficients allocates.
    [[nodiscard]] static qint64 bytesNeeded(const JpegComponent &component,
                                            QRect window,
                                            ComponentScale scale);

    // Builds the rows of the window that the MCU row holds; false for a block that libjpeg's
    // transform computes otherwise than can be followed.
    [[nodiscard]] bool build(KeptCoefficients &kept, int mcuRow);
    // Picture row y's samples for columns left to left + width - 1, which lie in the window.
    [[nodiscard]] const std::uint8_t *row(int y, int left, int width);

private:
    [[nodiscard]] const std::uint8_t *sampleRow(int componentRow) const;

    const JpegComponent &m_component;
    int m_keptWide;
    int m_keptHigh;
    ComponentScale m_scale;
    QRect m_samplesRect; // in the component's samples: the window, within the picture
    std::size_t m_stride;
    std::vector<std::uint8_t> m_samples;
    std::vector<int> m_columnSums; // a doubled row, summed down
    std::vector<std::uint8_t> m_doubled;
    JpegBlockIdct m_idct;
    std::array<std::uint8_t, 64> m_naturalOfSlot{}; // where each kept coefficient stands
    int m_slots = 0;
};
