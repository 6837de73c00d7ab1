#include "picture/JpegComponentPlane.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <utility>

namespace {

// The inverse DCT of a block scaled to n samples a side, from its n lowest coefficients:
// basis[x][u] for sample x and coefficient u, scaled as JPEG's 8-point transform is, so that a
// flat block keeps its level at any size.
struct ScaledBasis
{
    explicit ScaledBasis(int n)
    {
        for (int x = 0; x < n; ++x) {
            for (int u = 0; u < n; ++u) {
                const double weight = (u == 0 ? 1.0 : std::numbers::sqrt2) / std::sqrt(8.0);
                basis[x][u] = float(weight
                                    * std::cos((2 * x + 1) * u * std::numbers::pi / (2.0 * n)));
            }
        }
    }
    float basis[8][8] = {};
};

// One block's samples, wide x high, from as many coefficients; rows of coefficients that are all
// zero, as most high ones are, cost nothing. Sizes are fixed at compile time so that the loops
// unroll.
template<int Wide, int High>
void transformBlock(const std::int16_t *coefficients,
                    const float *dequantise,
                    const ScaledBasis &across,
                    const ScaledBasis &down,
                    std::uint8_t *out,
                    std::size_t stride)
{
    float rows[High][Wide] = {};
    bool rowUsed[High];
    for (int v = 0; v < High; ++v) {
        const std::int16_t *row = coefficients + v * Wide;
        rowUsed[v] = std::any_of(row, row + Wide, [](std::int16_t c) { return c != 0; });
        if (!rowUsed[v])
            continue;
        float values[Wide];
        for (int u = 0; u < Wide; ++u)
            values[u] = float(row[u]) * dequantise[v * Wide + u];
        for (int x = 0; x < Wide; ++x) {
            float sum = 0;
            for (int u = 0; u < Wide; ++u)
                sum += values[u] * across.basis[x][u];
            rows[v][x] = sum;
        }
    }
    for (int y = 0; y < High; ++y) {
        float sums[Wide];
        for (int x = 0; x < Wide; ++x)
            sums[x] = 128.5F;
        for (int v = 0; v < High; ++v) {
            if (!rowUsed[v])
                continue;
            for (int x = 0; x < Wide; ++x)
                sums[x] += down.basis[y][v] * rows[v][x];
        }
        for (int x = 0; x < Wide; ++x)
            out[std::size_t(y) * stride + std::size_t(x)] = std::uint8_t(
                std::clamp(sums[x], 0.0F, 255.0F));
    }
}

using BlockTransform = void (*)(const std::int16_t *,
                                const float *,
                                const ScaledBasis &,
                                const ScaledBasis &,
                                std::uint8_t *,
                                std::size_t);

template<std::size_t... Sizes>
constexpr std::array<BlockTransform, 64> blockTransforms(std::index_sequence<Sizes...>)
{
    return {&transformBlock<int(Sizes % 8) + 1, int(Sizes / 8) + 1>...};
}

constexpr std::array<BlockTransform, 64> kBlockTransforms = blockTransforms(
    std::make_index_sequence<64>());

const ScaledBasis &basisFor(int n)
{
    static const std::array<ScaledBasis, 8> bases = [] {
        return std::array<ScaledBasis, 8>{ScaledBasis(1),
                                          ScaledBasis(2),
                                          ScaledBasis(3),
                                          ScaledBasis(4),
                                          ScaledBasis(5),
                                          ScaledBasis(6),
                                          ScaledBasis(7),
                                          ScaledBasis(8)};
    }();
    return bases[std::size_t(n - 1)];
}

} // namespace

qint64 ComponentPlane::bytesNeeded(const JpegComponent &component,
                                   int keptWide,
                                   int keptHigh,
                                   QRect window,
                                   int upAcross,
                                   int upDown)
{
    const QRect kept = KeptCoefficients::keptWindow(component, window);
    const qint64 wide = qint64(kept.width()) * keptWide;
    // The samples, and a doubled row with its sums.
    return wide * kept.height() * keptHigh + wide * upAcross * (1 + qint64(sizeof(int))) * upDown;
}

ComponentPlane::ComponentPlane(const JpegComponent &component,
                               const KeptCoefficients &kept,
                               int upAcross,
                               int upDown,
                               QSize pictureSize)
    : m_component(component)
    , m_keptWide(kept.keptWide())
    , m_keptHigh(kept.keptHigh())
    , m_upAcross(upAcross)
    , m_upDown(upDown)
    , m_samplesRect(QRect(kept.window().left() * m_keptWide,
                          kept.window().top() * m_keptHigh,
                          kept.window().width() * m_keptWide,
                          kept.window().height() * m_keptHigh)
                    & QRect(0,
                            0,
                            ceilDiv(pictureSize.width(), upAcross),
                            ceilDiv(pictureSize.height(), upDown)))
    , m_stride(std::size_t(kept.window().width() * m_keptWide))
    , m_samples(m_stride * std::size_t(kept.window().height() * m_keptHigh))
{
    for (int z = 0; z < 64; ++z) {
        if (const int slot = kept.slotOf(z); slot >= 0)
            m_dequantise[slot] = component.quantisation[std::size_t(z)];
    }
}

void ComponentPlane::build(KeptCoefficients &kept, int mcuRow)
{
    const QRect window = kept.window();
    const BlockTransform transform = kBlockTransforms[std::size_t((m_keptHigh - 1) * 8 + m_keptWide
                                                                  - 1)];
    for (int v = 0; v < m_component.v; ++v) {
        const int row = mcuRow * m_component.v + v;
        if (row < window.top() || row > window.bottom())
            continue;
        std::uint8_t *out = m_samples.data()
                            + std::size_t(row - window.top()) * std::size_t(m_keptHigh) * m_stride;
        for (int column = window.left(); column <= window.right(); ++column) {
            transform(kept.block(row, column),
                      m_dequantise,
                      basisFor(m_keptWide),
                      basisFor(m_keptHigh),
                      out + std::size_t(column - window.left()) * std::size_t(m_keptWide),
                      m_stride);
        }
    }
}

const std::uint8_t *ComponentPlane::sampleRow(int componentRow) const
{
    const int y = std::clamp(componentRow, m_samplesRect.top(), m_samplesRect.bottom());
    return m_samples.data() + std::size_t(y - m_samplesRect.top()) * m_stride;
}

const std::uint8_t *ComponentPlane::row(int y, int left, int width)
{
    const int origin = m_samplesRect.left();
    if (m_upAcross == 1 && m_upDown == 1)
        return sampleRow(y) + (left - origin);
    // Summed down: the nearest row three times and the next nearest once. The sums run one
    // column past each end, repeating the edge, so that every column has both neighbours.
    const int first = std::max(left / m_upAcross - 1, origin);
    const int last = std::min((left + width - 1) / m_upAcross + 1, m_samplesRect.right());
    const std::uint8_t *nearest = sampleRow(y / m_upDown);
    const std::uint8_t *next = m_upDown == 1 ? nearest : sampleRow(y / 2 + (y % 2 == 0 ? -1 : 1));
    m_columnSums.resize(std::size_t(last - first + 3));
    int *sums = m_columnSums.data() + 1; // sums[x - first] for columns first - 1 to last + 1
    for (int x = first; x <= last; ++x)
        sums[x - first] = 3 * nearest[x - origin] + next[x - origin];
    sums[-1] = sums[0];
    sums[last - first + 1] = sums[last - first];
    // Then across: the same for columns, or the sums as they are; rounded as libjpeg rounds.
    const int evenBias = m_upDown == 1 ? 4 : 8;
    const int oddBias = m_upDown == 1 ? 8 : 7;
    const int downBias = y % 2 == 0 ? 1 : 2;
    m_doubled.resize(std::size_t(width));
    for (int x = 0; x < width; ++x) {
        const int column = (left + x) / m_upAcross - first;
        const int value = m_upAcross == 1 ? (sums[column] + downBias) >> 2
                          : (left + x) % 2 == 0
                              ? (3 * sums[column] + sums[column - 1] + evenBias) >> 4
                              : (3 * sums[column] + sums[column + 1] + oddBias) >> 4;
        m_doubled[std::size_t(x)] = std::uint8_t(value);
    }
    return m_doubled.data();
}
