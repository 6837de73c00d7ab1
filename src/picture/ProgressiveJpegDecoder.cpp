#include "picture/ProgressiveJpegDecoder.h"

#include "picture/JpegComponentPlane.h"
#include "picture/JpegScanDecoder.h"
#include "picture/JpegStream.h"
#include "picture/RowPipe.h"
#include "picture/RowScaler.h"
#include "picture/VectorRegisters.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <new>
#include <system_error>
#include <thread>

namespace {

// Scans of the DC coefficients form one chain, each component's AC scans another: a scan needs
// only the scan before it in its chain. After the scans come the components' planes, each
// needing the last scans of its chains. Two cores take this work in order, each following right
// behind the work its own depends on, row by row, so both keep busy. Work only ever waits for
// work taken before it, which is done or running on the other core.
int chainOf(const JpegScan &scan)
{
    return scan.spectralStart == 0 ? 0 : 1 + scan.parts[0].component;
}

// False when a scan holds data libjpeg refuses, or a block its transforms compute otherwise than
// can be followed.
bool decodeOnTwoCores(const JpegFrame &frame,
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
        const int v = frame.components[component].v;
        const QRect window = kept[component].window();
        for (int mcuRow = window.top() / v; mcuRow <= window.bottom() / v; ++mcuRow) {
            for (const ScanProgress *last : {lastOfChain[0], lastOfChain[1 + component]}) {
                if (last)
                    last->waitFor((mcuRow + 1) * pictureRowsPerMcuRow);
            }
            if (!planes[component].build(kept[component], mcuRow))
                return false;
        }
        return true;
    };
    // The chroma planes first: their scans are done early, while the last luma scan is not.
    const std::size_t taskCount = scanCount + planes.size();
    std::atomic<std::size_t> next{0};
    std::atomic<bool> refused{false};
    const auto work = [&] {
        for (std::size_t i = next++; i < taskCount; i = next++) {
            clearUpperVectorRegisters();
            if (i < scanCount) {
                if (!decodeJpegScan(frame, frame.scans[i], kept, before[i], progress[i]))
                    refused = true;
            } else if (!buildPlane(taskCount - 1 - i)) {
                refused = true;
            }
        }
    };
    qint64 samples = 0;
    for (const KeptCoefficients &component : kept)
        samples += qint64(component.window().width()) * component.window().height()
                   * component.keptWide() * component.keptHigh();
    if (!RowPipe::worthASecondCore(samples)) {
        work();
        return !refused;
    }
    try {
        std::thread second(work);
        work();
        second.join();
    } catch (const std::system_error &) { // no thread to be had: one core does it all
        work();
    }
    return !refused;
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
std::optional<QImage> scaledPicture(std::vector<ComponentPlane> &planes,
                                    QRect region,
                                    QSize target,
                                    const ColourTransform *rowColours)
{
    constexpr int kRowsPerBatch = 16;
    const int width = region.width();
    const auto toPixels =
        [&planes, region, width](uchar *rows, int first, int count, qsizetype stride) {
            for (int y = 0; y < count; ++y) {
                auto *out = reinterpret_cast<QRgb *>(rows + y * stride);
                const int pictureRow = region.top() + first + y;
                const std::uint8_t *luma = planes[0].row(pictureRow, region.left(), width);
                if (planes.size() == 1) {
                    for (int x = 0; x < width; ++x)
                        out[x] = qRgb(luma[x], luma[x], luma[x]);
                    continue;
                }
                const std::uint8_t *cb = planes[1].row(pictureRow, region.left(), width);
                const std::uint8_t *cr = planes[2].row(pictureRow, region.left(), width);
                for (int x = 0; x < width; ++x)
                    out[x] = fromYCbCr(luma[x], cb[x], cr[x]);
            }
            return true;
        };
    return scaleOnSecondCore(region.size(), target, kRowsPerBatch, toPixels, rowColours);
}

// The blocks of a component that the region of the decoded picture needs, and one more on each
// side for the neighbours of doubled samples.
QRect blocksFor(QRect region, ComponentScale scale)
{
    const int left = region.left() / scale.upAcross / scale.samples;
    const int top = region.top() / scale.upDown / scale.samples;
    const int right = ceilDiv(ceilDiv(region.right() + 1, scale.upAcross), scale.samples) - 1;
    const int bottom = ceilDiv(ceilDiv(region.bottom() + 1, scale.upDown), scale.samples) - 1;
    return QRect(QPoint(left - 1, top - 1), QPoint(right + 1, bottom + 1));
}

} // namespace

std::optional<QImage> decodeProgressiveJpeg(QByteArrayView bytes,
                                            QSize fileSize,
                                            int eighths,
                                            const DecodePlan &plan,
                                            const ColourTransform *rowColours,
                                            MemoryBudget &budget)
{
    // The scans' data are unstuffed in place, in a copy, so that libjpeg still finds the file as
    // it is should this decoder not take it.
    if (!budget.take(bytes.size()))
        return std::nullopt;
    QByteArray file = bytes.toByteArray();
    std::optional<JpegFrame> frame = parseProgressiveJpeg(file);
    // A frame of another size than the caller's header says is one that a crafted file showed
    // only to us, past the memory limit the caller checked.
    if (!frame || QSize(frame->width, frame->height) != fileSize || eighths < 1 || eighths > 8)
        return std::nullopt;
    const QSize decoded = jpegScaledSize(fileSize, eighths);
    const QRect region = plan.clipRect.value_or(QRect(QPoint(), decoded));
    const QSize target = plan.scaledSize.value_or(region.size());
    if (!QRect(QPoint(), decoded).contains(region) || region.isEmpty()
        || !budget.take(RowScaler::bytesNeeded(region.size(), target)))
        return std::nullopt;
    std::vector<KeptCoefficients> kept;
    std::vector<ComponentPlane> planes;
    for (const JpegComponent &component : frame->components) {
        const ComponentScale scale = ComponentScale::of(*frame, component, eighths);
        const QRect window = blocksFor(region, scale);
        if (!budget.take(
                KeptCoefficients::bytesNeeded(component, scale.samples, scale.samples, window)
                + ComponentPlane::bytesNeeded(component, window, scale)))
            return std::nullopt;
        kept.emplace_back(component, scale.samples, scale.samples, window);
        planes.emplace_back(component, kept.back(), scale, decoded);
    }
    if (!decodeOnTwoCores(*frame, kept, planes))
        return std::nullopt;
    // The planes hold the picture now; what it came from can go before its pixels are made.
    kept.clear();
    file.clear();
    return scaledPicture(planes, region, target, rowColours);
}
