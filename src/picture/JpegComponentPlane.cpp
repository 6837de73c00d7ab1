#include "picture/JpegComponentPlane.h"

#include <algorithm>
#include <bit>

namespace {

std::array<std::uint16_t, 64> naturalOrder(const std::array<std::uint16_t, 64> &zigzag)
{
    std::array<std::uint16_t, 64> natural{};
    for (std::size_t z = 0; z < 64; ++z)
        natural[kJpegNaturalOrder[z]] = zigzag[z];
    return natural;
}

} // namespace

ComponentScale ComponentScale::of(const JpegFrame &frame,
                                  const JpegComponent &component,
                                  int eighths)
{
    // Blocks grow by doubling while the component still falls short of the picture's
    // resolution by a whole factor of two both ways; what is left is made up by upsampling.
    int samples = eighths;
    while (samples < 8 && (frame.maxH * eighths) % (component.h * samples * 2) == 0
           && (frame.maxV * eighths) % (component.v * samples * 2) == 0)
        samples *= 2;
    ComponentScale scale;
    scale.samples = samples;
    scale.upAcross = frame.maxH * eighths / (component.h * samples);
    scale.upDown = frame.maxV * eighths / (component.v * samples);
    const int samplesWide = ceilDiv(frame.width * component.h * samples, frame.maxH * 8);
    scale.smooth = eighths > 1 && (scale.upAcross == 1 || samplesWide > 2);
    return scale;
}

qint64 ComponentPlane::bytesNeeded(const JpegComponent &component,
                                   QRect window,
                                   ComponentScale scale)
{
    const QRect kept = KeptCoefficients::keptWindow(component, window);
    const qint64 wide = qint64(kept.width()) * scale.samples;
    // The samples, and a doubled row with its sums.
    return wide * kept.height() * scale.samples
           + wide * scale.upAcross * (1 + qint64(sizeof(int))) * scale.upDown;
}

ComponentPlane::ComponentPlane(const JpegComponent &component,
                               const KeptCoefficients &kept,
                               ComponentScale scale,
                               QSize pictureSize)
    : m_component(component)
    , m_keptWide(kept.keptWide())
    , m_keptHigh(kept.keptHigh())
    , m_scale(scale)
    , m_samplesRect(QRect(kept.window().left() * m_keptWide,
                          kept.window().top() * m_keptHigh,
                          kept.window().width() * m_keptWide,
                          kept.window().height() * m_keptHigh)
                    & QRect(0,
                            0,
                            ceilDiv(pictureSize.width(), scale.upAcross),
                            ceilDiv(pictureSize.height(), scale.upDown)))
    , m_stride(std::size_t(kept.window().width() * m_keptWide))
    , m_samples(m_stride * std::size_t(kept.window().height() * m_keptHigh))
    , m_idct(scale.samples, naturalOrder(component.quantisation))
{
    for (int z = 0; z < 64; ++z) {
        if (const int slot = kept.slotOf(z); slot >= 0)
            m_naturalOfSlot[std::size_t(slot)] = kJpegNaturalOrder[std::size_t(z)];
    }
    m_slots = std::popcount(kept.keptZigzag());
}

bool ComponentPlane::build(KeptCoefficients &kept, int mcuRow)
{
    const QRect window = kept.window();
    std::int16_t block[64] = {};
    for (int v = 0; v < m_component.v; ++v) {
        const int row = mcuRow * m_component.v + v;
        if (row < window.top() || row > window.bottom())
            continue;
        std::uint8_t *out = m_samples.data()
                            + std::size_t(row - window.top()) * std::size_t(m_keptHigh) * m_stride;
        for (int column = window.left(); column <= window.right(); ++column) {
            const std::int16_t *coefficients = kept.block(row, column);
            for (int slot = 0; slot < m_slots; ++slot)
                block[m_naturalOfSlot[std::size_t(slot)]] = coefficients[slot];
            if (!m_idct.transform(block,
                                  out + std::size_t(column - window.left()) * std::size_t(m_keptWide),
                                  m_stride))
                return false;
        }
    }
    return true;
}

const std::uint8_t *ComponentPlane::sampleRow(int componentRow) const
{
    const int y = std::clamp(componentRow, m_samplesRect.top(), m_samplesRect.bottom());
    return m_samples.data() + std::size_t(y - m_samplesRect.top()) * m_stride;
}

const std::uint8_t *ComponentPlane::row(int y, int left, int width)
{
    const int origin = m_samplesRect.left();
    const int upAcross = m_scale.upAcross;
    const int upDown = m_scale.upDown;
    if (upAcross == 1 && upDown == 1)
        return sampleRow(y) + (left - origin);
    m_doubled.resize(std::size_t(width));
    if (!m_scale.smooth) {
        const std::uint8_t *samples = sampleRow(y / upDown);
        for (int x = 0; x < width; ++x)
            m_doubled[std::size_t(x)] = samples[(left + x) / upAcross - origin];
        return m_doubled.data();
    }
    // Summed down: the nearest row three times and the next nearest once. The sums run one
    // column past each end, repeating the edge, so that every column has both neighbours.
    const int first = std::max(left / upAcross - 1, origin);
    const int last = std::min((left + width - 1) / upAcross + 1, m_samplesRect.right());
    const std::uint8_t *nearest = sampleRow(y / upDown);
    const std::uint8_t *next = upDown == 1 ? nearest : sampleRow(y / 2 + (y % 2 == 0 ? -1 : 1));
    m_columnSums.resize(std::size_t(last - first + 3));
    int *sums = m_columnSums.data() + 1; // sums[x - first] for columns first - 1 to last + 1
    for (int x = first; x <= last; ++x)
        sums[x - first] = 3 * nearest[x - origin] + next[x - origin];
    sums[-1] = sums[0];
    sums[last - first + 1] = sums[last - first];
    // Then across: the same for columns, or the sums as they are; rounded as libjpeg rounds.
    const int evenBias = upDown == 1 ? 4 : 8;
    const int oddBias = upDown == 1 ? 8 : 7;
    const int downBias = y % 2 == 0 ? 1 : 2;
    for (int x = 0; x < width; ++x) {
        const int column = (left + x) / upAcross - first;
        const int value = upAcross == 1 ? (sums[column] + downBias) >> 2
                          : (left + x) % 2 == 0
                              ? (3 * sums[column] + sums[column - 1] + evenBias) >> 4
                              : (3 * sums[column] + sums[column + 1] + oddBias) >> 4;
        m_doubled[std::size_t(x)] = std::uint8_t(value);
    }
    return m_doubled.data();
}
