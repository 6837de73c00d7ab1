#include "picture/JpegDecoder.h"

#include "picture/JpegStream.h"
#include "picture/ProgressiveJpegDecoder.h"
#include "picture/RowScaler.h"

#include <QFile>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

#include <jpeglib.h>

namespace {

constexpr int kRowsPerBatch = 16;
constexpr int kBytesPerPixel = 4;

// libjpeg reports fatal errors through error_exit, which must not return: it jumps back to the
// call that went wrong. Warnings about damaged data stay quiet; the picture shows what decoded.
struct ErrorTrap
{
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

[[noreturn]] void leave(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<ErrorTrap *>(info->err)->jump, 1);
}

void keepQuiet(j_common_ptr, int) {}

// One decompression of one file. Every libjpeg call goes through guarded(), whose frame holds the
// jump target; the calls given to it hold nothing that needs destroying.
class JpegReader
{
public:
    explicit JpegReader(std::FILE *file)
        : m_file(file)
    {
        m_info.err = jpeg_std_error(&m_trap.manager);
        m_trap.manager.error_exit = leave;
        m_trap.manager.emit_message = keepQuiet;
        jpeg_create_decompress(&m_info);
        jpeg_stdio_src(&m_info, m_file);
    }
    ~JpegReader()
    {
        jpeg_destroy_decompress(&m_info);
        std::fclose(m_file);
    }
    JpegReader(const JpegReader &) = delete;
    JpegReader &operator=(const JpegReader &) = delete;

    template<typename Call>
    bool guarded(Call call)
    {
        if (setjmp(m_trap.jump) != 0)
            return false;
        call(&m_info);
        return true;
    }

    [[nodiscard]] jpeg_decompress_struct &info() { return m_info; }

    // Reads count rows into rows, each stride bytes apart; false on a fatal error.
    bool readRows(uchar *rows, int count, qsizetype stride)
    {
        std::vector<JSAMPROW> pointers(count);
        for (int i = 0; i < count; ++i)
            pointers[i] = rows + i * stride;
        int done = 0;
        return guarded([&pointers, &done, count](j_decompress_ptr info) {
            while (done < count && info->output_scanline < info->output_height)
                done += int(jpeg_read_scanlines(info, pointers.data() + done, count - done));
        });
    }

private:
    std::FILE *m_file;
    jpeg_decompress_struct m_info{};
    ErrorTrap m_trap{};
};

// The smallest of libjpeg's scales M/8 at which the picture is at least the size asked.
int eighthsFor(QSize file, QSize wanted)
{
    for (int eighths = 1; eighths < 8; ++eighths) {
        const QSize scaled = jpegScaledSize(file, eighths);
        if (scaled.width() >= wanted.width() && scaled.height() >= wanted.height())
            return eighths;
    }
    return 8;
}

std::optional<QImage> decodeWhole(JpegReader &reader, QSize target)
{
    jpeg_decompress_struct &info = reader.info();
    const QSize decoded(int(info.output_width), int(info.output_height));
    if (decoded == target) {
        QImage image(target, QImage::Format_RGB32);
        if (image.isNull() || !reader.readRows(image.bits(), target.height(), image.bytesPerLine()))
            return std::nullopt;
        return image;
    }
    return scaleOnSecondCore(decoded,
                             target,
                             kRowsPerBatch,
                             [&reader](uchar *rows, int, int count, qsizetype stride) {
                                 return reader.readRows(rows, count, stride);
                             });
}

// Only the rows of the clip are decoded past the entropy coding, only whole blocks around its
// columns, and nothing after its last row.
std::optional<QImage> decodeClip(JpegReader &reader, QRect clip)
{
    JDIMENSION left = JDIMENSION(clip.x());
    JDIMENSION width = JDIMENSION(clip.width());
    if (!reader.guarded(
            [&left, &width](j_decompress_ptr info) { jpeg_crop_scanline(info, &left, &width); }))
        return std::nullopt;
    QImage image(clip.size(), QImage::Format_RGB32);
    std::vector<uchar> row(std::size_t(width) * kBytesPerPixel);
    const JDIMENSION skip = JDIMENSION(clip.y());
    if (image.isNull()
        || !reader.guarded([skip](j_decompress_ptr info) { jpeg_skip_scanlines(info, skip); }))
        return std::nullopt;
    const std::size_t offset = std::size_t(clip.x() - int(left)) * kBytesPerPixel;
    for (int y = 0; y < clip.height(); ++y) {
        if (!reader.readRows(row.data(), 1, 0))
            return std::nullopt;
        std::memcpy(image.scanLine(y), row.data() + offset, std::size_t(image.bytesPerLine()));
    }
    return image;
}

} // namespace

std::optional<QImage> decodeJpeg(const QString &path,
                                 const DecodePlan &plan,
                                 qint64 memoryLimitBytes)
{
    std::FILE *file = std::fopen(QFile::encodeName(path).constData(), "rb");
    if (!file)
        return std::nullopt;
    JpegReader reader(file);
    jpeg_decompress_struct &info = reader.info();
    if (!reader.guarded([](j_decompress_ptr info) { jpeg_read_header(info, TRUE); }))
        return std::nullopt;
    const QSize fileSize(int(info.image_width), int(info.image_height));
    const bool colour = info.jpeg_color_space == JCS_YCbCr || info.jpeg_color_space == JCS_RGB;
    if ((!colour && info.jpeg_color_space != JCS_GRAYSCALE)
        || qint64(fileSize.width()) * fileSize.height() * kBytesPerPixel > memoryLimitBytes)
        return std::nullopt;

    // libjpeg decodes a progressive file whole, at full precision, before its first row comes
    // out; our own decoder keeps only what the screen shows and uses both cores. For the whole
    // picture at full size libjpeg is the faster.
    const int eighths = plan.scaledSize ? eighthsFor(fileSize, *plan.scaledSize) : 8;
    if (info.progressive_mode && (eighths < 8 || plan.clipRect)) {
        QFile whole(path);
        if (whole.size() <= memoryLimitBytes && whole.open(QIODevice::ReadOnly)) {
            if (std::optional<QImage> image = decodeProgressiveJpeg(whole.readAll(),
                                                                    fileSize,
                                                                    eighths,
                                                                    plan))
                return image;
        }
    }

    info.out_color_space = JCS_EXT_BGRX; // the byte order of QImage::Format_RGB32
    info.mem->max_memory_to_use = long(memoryLimitBytes);
    if (plan.scaledSize) {
        info.scale_num = unsigned(eighths);
        info.scale_denom = 8;
    }
    if (!reader.guarded([](j_decompress_ptr info) { jpeg_start_decompress(info); }))
        return std::nullopt;
    if (plan.clipRect)
        return decodeClip(reader, *plan.clipRect);
    return decodeWhole(reader, plan.scaledSize.value_or(fileSize));
}
