#include "platform/ProgressiveJpegDecoder.h"

#include "platform/JpegScanDecoder.h"
#include "platform/JpegStream.h"
#include "platform/RowScaler.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <numbers>
#include <system_error>
#include <thread>
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
    float rows[High][Wide];
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

// A component's samples at the decoded size, built from its kept coefficients one MCU row at a
// time.
class ComponentPlane
{
public:
    ComponentPlane(const JpegComponent &component, const KeptCoefficients &kept)
        : m_component(component)
        , m_across(kept.keptWide())
        , m_down(kept.keptHigh())
        , m_transform(kBlockTransforms[std::size_t((kept.keptHigh() - 1) * 8 + kept.keptWide() - 1)])
        , m_stride(std::size_t(component.blocksWide) * kept.keptWide())
        , m_samples(m_stride * std::size_t(component.blocksHigh * kept.keptHigh()))
    {
        for (int z = 0; z < 64; ++z) {
            if (const int slot = kept.slotOf(z); slot >= 0)
                m_dequantise[slot] = component.quantisation[std::size_t(z)];
        }
    }

    void build(KeptCoefficients &kept, int mcuRow)
    {
        const auto high = std::size_t(kept.keptHigh());
        const auto wide = std::size_t(kept.keptWide());
        for (int v = 0; v < m_component.v; ++v) {
            const int row = mcuRow * m_component.v + v;
            std::uint8_t *out = m_samples.data() + std::size_t(row) * high * m_stride;
            for (int column = 0; column < m_component.blocksWide; ++column) {
                m_transform(kept.block(row, column),
                            m_dequantise,
                            m_across,
                            m_down,
                            out + std::size_t(column) * wide,
                            m_stride);
            }
        }
    }
    [[nodiscard]] const std::uint8_t *row(int y) const
    {
        return m_samples.data() + std::size_t(y) * m_stride;
    }

private:
    const JpegComponent &m_component;
    ScaledBasis m_across;
    ScaledBasis m_down;
    BlockTransform m_transform;
    float m_dequantise[64] = {};
    std::size_t m_stride;
    std::vector<std::uint8_t> m_samples;
};

// Scans of the DC coefficients form one chain, each component's AC scans another: a scan needs
// only the scan before it in its chain. After the scans come the components' planes, each
// needing the last scans of its chains. Two cores take this work in order, each following right
// behind the work its own depends on, row by row, so both keep busy. Work only ever waits for
// work taken before it, which is done or running on the other core.
int chainOf(const JpegScan &scan)
{
    return scan.spectralStart == 0 ? 0 : 1 + scan.parts[0].component;
}

void decodeOnTwoCores(const JpegFrame &frame,
                      std::vector<KeptCoefficients> &kept,
                      std::vector<ComponentPlane> &planes)
{
    const std::size_t scanCount = frame.scans.size();
    std::vector<ScanProgress> progress(scanCount);
    std::vector<const ScanProgress *> before(scanCount, nullptr);
    std::array<const ScanProgress *, 4> lastOfChain{};
    for (std::size_t i = 0; i < scanCount; ++i) {
        const auto chain = std::size_t(chainOf(frame.scans[i]));
        before[i] = lastOfChain[chain];
        lastOfChain[chain] = &progress[i];
    }
    const auto buildPlane = [&](std::size_t component) {
        const int pictureRowsPerMcuRow = 8 * frame.maxV;
        for (int mcuRow = 0; mcuRow < frame.mcusHigh; ++mcuRow) {
            for (const ScanProgress *last : {lastOfChain[0], lastOfChain[1 + component]}) {
                if (last)
                    last->waitFor((mcuRow + 1) * pictureRowsPerMcuRow);
            }
            planes[component].build(kept[component], mcuRow);
        }
    };
    // The chroma planes first: their scans are done early, while the last luma scan is not.
    const std::size_t taskCount = scanCount + planes.size();
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        for (std::size_t i = next++; i < taskCount; i = next++) {
            if (i < scanCount)
                decodeJpegScan(frame, frame.scans[i], kept, before[i], progress[i]);
            else
                buildPlane(taskCount - 1 - i);
        }
    };
    try {
        std::thread second(work);
        work();
        second.join();
    } catch (const std::system_error &) { // no thread to be had: one core does it all
        work();
    }
}

// JFIF's YCbCr to RGB, in 16-bit fixed point.
QRgb fromYCbCr(int y, int cb, int cr)
{
    cb -= 128;
    cr -= 128;
    const int r = y + ((91881 * cr + 32768) >> 16);
    const int g = y + ((-22554 * cb - 46802 * cr + 32768) >> 16);
    const int b = y + ((116130 * cb + 32768) >> 16);
    return qRgb(std::clamp(r, 0, 255), std::clamp(g, 0, 255), std::clamp(b, 0, 255));
}

// Turns the planes into pixels, a batch of rows at a time, which the second core averages down
// to the target size meanwhile.
std::optional<QImage> scaledPicture(const std::vector<ComponentPlane> &planes,
                                    QSize decoded,
                                    QSize target)
{
    constexpr int kRowsPerBatch = 16;
    const auto toPixels = [&planes, decoded](uchar *rows, int first, int count, qsizetype stride) {
        for (int y = 0; y < count; ++y) {
            auto *out = reinterpret_cast<QRgb *>(rows + y * stride);
            const std::uint8_t *luma = planes[0].row(first + y);
            if (planes.size() == 1) {
                for (int x = 0; x < decoded.width(); ++x)
                    out[x] = qRgb(luma[x], luma[x], luma[x]);
                continue;
            }
            const std::uint8_t *cb = planes[1].row(first + y);
            const std::uint8_t *cr = planes[2].row(first + y);
            for (int x = 0; x < decoded.width(); ++x)
                out[x] = fromYCbCr(luma[x], cb[x], cr[x]);
        }
        return true;
    };
    return scaleOnSecondCore(decoded, target, kRowsPerBatch, toPixels);
}

} // namespace

std::optional<QImage> decodeProgressiveJpeg(QByteArray file, int eighths, QSize target)
{
    std::optional<JpegFrame> frame = parseProgressiveJpeg(file);
    if (!frame || eighths < 1 || eighths > 8)
        return std::nullopt;
    for (const JpegComponent &component : frame->components) {
        if (eighths * frame->maxH / component.h > 8 || eighths * frame->maxV / component.v > 8)
            return std::nullopt;
    }
    std::vector<KeptCoefficients> kept;
    std::vector<ComponentPlane> planes;
    try {
        for (const JpegComponent &component : frame->components) {
            kept.emplace_back(component,
                              eighths * frame->maxH / component.h,
                              eighths * frame->maxV / component.v);
            planes.emplace_back(component, kept.back());
        }
    } catch (const std::bad_alloc &) {
        return std::nullopt;
    }
    decodeOnTwoCores(*frame, kept, planes);
    // The planes hold the picture now; what it came from can go before its pixels are made.
    kept.clear();
    file.clear();
    const QSize decoded((frame->width * eighths + 7) / 8, (frame->height * eighths + 7) / 8);
    return scaledPicture(planes, decoded, target);
}
