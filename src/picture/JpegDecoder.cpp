#include "picture/JpegDecoder.h"

#include "picture/ExifOrientation.h"
#include "picture/JpegStream.h"
#include "picture/ProgressiveJpegDecoder.h"
#include "picture/RowPipe.h"
#include "picture/RowScaler.h"

#include <algorithm>
#include <climits>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

#include <jerror.h>
#include <jpeglib.h>

namespace {

constexpr int kRowsPerBatch = 16;
constexpr int kBytesPerPixel = 4;
// libjpeg is handed the file a piece at a time, so that the pieces it is done with go back.
constexpr qsizetype kSourcePiece = 256 * 1024;

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

// libjpeg's memory source, a piece at a time: past the end of the bytes an end-of-image marker
// stands for the rest, with a warning, as libjpeg's own memory source has it.
struct PieceSource
{
    jpeg_source_mgr manager{};
    const EncodedPicture *picture = nullptr;
    qsizetype next = 0; // the first byte not yet handed to libjpeg

    static constexpr JOCTET kEndOfImage[2] = {0xFF, JPEG_EOI};

    static void start(j_decompress_ptr) {}
    static boolean fill(j_decompress_ptr info)
    {
        auto *self = reinterpret_cast<PieceSource *>(info->src);
        if (self->next >= self->picture->size()) {
            WARNMS(info, JWRN_JPEG_EOF);
            info->src->next_input_byte = kEndOfImage;
            info->src->bytes_in_buffer = 2;
            return TRUE;
        }
        self->picture->doneBefore(self->next);
        const qsizetype piece = std::min(kSourcePiece, self->picture->size() - self->next);
        info->src->next_input_byte = self->picture->data() + self->next;
        info->src->bytes_in_buffer = std::size_t(piece);
        self->next += piece;
        return TRUE;
    }
    static void skip(j_decompress_ptr info, long count)
    {
        if (count <= 0)
            return;
        jpeg_source_mgr *source = info->src;
        while (count > long(source->bytes_in_buffer)) {
            count -= long(source->bytes_in_buffer);
            fill(info);
            // Past the end every piece is the same end-of-image marker: skip whole ones at once.
            if (source->next_input_byte == kEndOfImage && count > 2)
                count = (count - 1) % 2 + 1;
        }
        source->next_input_byte += count;
        source->bytes_in_buffer -= std::size_t(count);
    }
    static void end(j_decompress_ptr) {}
};

// One decompression of one picture. Every libjpeg call goes through guarded(), whose frame holds
// the jump target; the calls given to it hold nothing that needs destroying. The decompressor is
// made under the jump target too, as making it can fail.
class JpegReader
{
public:
    explicit JpegReader(const EncodedPicture &picture)
    {
        m_info.err = jpeg_std_error(&m_trap.manager);
        m_trap.manager.error_exit = leave;
        m_trap.manager.emit_message = keepQuiet;
        m_created = guarded([](j_decompress_ptr info) { jpeg_create_decompress(info); });
        if (!m_created)
            return;
        m_source.picture = &picture;
        m_source.manager.init_source = PieceSource::start;
        m_source.manager.fill_input_buffer = PieceSource::fill;
        m_source.manager.skip_input_data = PieceSource::skip;
        m_source.manager.resync_to_restart = jpeg_resync_to_restart;
        m_source.manager.term_source = PieceSource::end;
        m_info.src = &m_source.manager;
    }
    ~JpegReader()
    {
        if (m_created)
            jpeg_destroy_decompress(&m_info);
    }
    JpegReader(const JpegReader &) = delete;
    JpegReader &operator=(const JpegReader &) = delete;

    [[nodiscard]] bool isCreated() const { return m_created; }

    template<typename Call>
    bool guarded(Call call)
    {
        if (setjmp(m_trap.jump) != 0)
            return false;
        call(&m_info);
        return true;
    }

    [[nodiscard]] jpeg_decompress_struct &info() { return m_info; }

    // Rows read from now on are converted by the transform, from what libjpeg gives.
    void convertRowsBy(const ColourTransform *transform) { m_rowColours = transform; }

    // Reads count rows into rows, each stride bytes apart; false on a fatal error.
    bool readRows(uchar *rows, int count, qsizetype stride)
    {
        std::vector<JSAMPROW> pointers(count);
        for (int i = 0; i < count; ++i)
            pointers[i] = rows + i * stride;
        int done = 0;
        const bool read = guarded([&pointers, &done, count](j_decompress_ptr info) {
            while (done < count && info->output_scanline < info->output_height)
                done += int(jpeg_read_scanlines(info, pointers.data() + done, count - done));
        });
        if (read && m_rowColours)
            m_rowColours->convertRows(rows, int(m_info.output_width), done, stride);
        return read;
    }

    // The EXIF data of the APP1 markers saved while the header was read, all of them in turn.
    [[nodiscard]] QByteArray app1Data() const
    {
        QByteArray data;
        for (jpeg_saved_marker_ptr marker = m_info.marker_list; marker; marker = marker->next) {
            if (marker->marker == JPEG_APP0 + 1)
                data.append(reinterpret_cast<const char *>(marker->data),
                            qsizetype(marker->data_length));
        }
        return data;
    }

private:
    jpeg_decompress_struct m_info{};
    ErrorTrap m_trap{};
    PieceSource m_source;
    bool m_created = false;
    const ColourTransform *m_rowColours = nullptr;
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

std::optional<QImage> decodeWhole(JpegReader &reader,
                                  QSize target,
                                  const ColourTransform *rowColours)
{
    jpeg_decompress_struct &info = reader.info();
    const QSize decoded(int(info.output_width), int(info.output_height));
    if (decoded == target && !rowColours) {
        QImage image(target, QImage::Format_RGB32);
        if (image.isNull() || !reader.readRows(image.bits(), target.height(), image.bytesPerLine()))
            return std::nullopt;
        return image;
    }
    return scaleOnSecondCore(
        decoded,
        target,
        kRowsPerBatch,
        [&reader](uchar *rows, int, int count, qsizetype stride) {
            return reader.readRows(rows, count, stride);
        },
        rowColours);
}

// libjpeg smooths the blocks of a progressive picture whose scans leave coefficients unrefined
// (one cut short, say) from their neighbours; cut to the blocks around a clip, those at its edges
// would lose their neighbours and come out otherwise than in the whole picture.
bool smoothsBlocks(const jpeg_decompress_struct &info)
{
    if (!info.progressive_mode || !info.coef_bits || !info.do_block_smoothing)
        return false;
    for (int component = 0; component < info.num_components; ++component) {
        const int *bits = info.coef_bits[component];
        if (std::any_of(bits, bits + DCTSIZE2, [](int bit) { return bit != 0; }))
            return true;
    }
    return false;
}

// Only the rows of the clip are decoded past the entropy coding, only whole blocks around its
// columns, and nothing after its last row. Their colours are converted on the second core while
// libjpeg reads on.
std::optional<QImage> decodeClip(JpegReader &reader, QRect clip, const ColourTransform *rowColours)
{
    // A column more on each side: libjpeg's smooth upsampling repeats the edge samples of what
    // it decodes, which the clip's own edges are not.
    const int outputWidth = int(reader.info().output_width);
    const bool wholeRows = smoothsBlocks(reader.info());
    JDIMENSION left = wholeRows ? 0 : JDIMENSION(std::max(clip.left() - 1, 0));
    JDIMENSION width = wholeRows ? JDIMENSION(outputWidth)
                                 : JDIMENSION(std::min(clip.right() + 2, outputWidth)) - left;
    if (!wholeRows && !reader.guarded([&left, &width](j_decompress_ptr info) {
            jpeg_crop_scanline(info, &left, &width);
        }))
        return std::nullopt;
    QImage image(clip.size(), QImage::Format_RGB32);
    const JDIMENSION skip = JDIMENSION(clip.y());
    if (image.isNull()
        || !reader.guarded([skip](j_decompress_ptr info) { jpeg_skip_scanlines(info, skip); }))
        return std::nullopt;
    const std::size_t offset = std::size_t(clip.x() - int(left)) * kBytesPerPixel;
    const qsizetype rowBytes = qsizetype(width) * kBytesPerPixel;
    int placed = 0;
    const auto place = [&image, &placed, offset, rowBytes, rowColours](const uchar *rows,
                                                                       int count) {
        for (int i = 0; i < count; ++i, ++placed) {
            uchar *line = image.scanLine(placed);
            std::memcpy(line, rows + i * rowBytes + offset, std::size_t(image.bytesPerLine()));
            if (rowColours)
                rowColours->convertRows(line, image.width(), 1, 0);
        }
    };
    RowPipe pipe(rowBytes,
                 kRowsPerBatch,
                 place,
                 rowColours && RowPipe::worthASecondCore(qint64(clip.width()) * clip.height()));
    for (int y = 0; y < clip.height(); y += kRowsPerBatch) {
        const int count = std::min(kRowsPerBatch, clip.height() - y);
        if (!reader.readRows(pipe.batchToFill(), count, rowBytes))
            return std::nullopt;
        pipe.submit(count);
    }
    if (!pipe.finish())
        return std::nullopt;
    return image;
}

// What libjpeg's own decode of the picture, planned for the screen, makes.
std::optional<QImage> decodeWithLibjpeg(JpegReader &reader,
                                        const DecodePlan &plan,
                                        int eighths,
                                        const ColourTransform *cmykColours,
                                        const ColourTransform *rowColours,
                                        MemoryBudget &budget)
{
    jpeg_decompress_struct &info = reader.info();
    // CMYK rows turn into Format_RGB32's bytes where they are read.
    info.out_color_space = cmykColours ? JCS_CMYK : JCS_EXT_BGRX;
    reader.convertRowsBy(cmykColours);
    if (plan.scaledSize) {
        info.scale_num = unsigned(eighths);
        info.scale_denom = 8;
    }
    if (!reader.guarded([](j_decompress_ptr info) { jpeg_calc_output_dimensions(info); }))
        return std::nullopt;
    const QSize decoded(int(info.output_width), int(info.output_height));
    const QSize target = plan.clipRect ? plan.clipRect->size() : plan.scaledSize.value_or(decoded);
    if (!budget.take(RowScaler::bytesNeeded(decoded, target)))
        return std::nullopt;
    // What libjpeg allocates itself (a progressive file's coefficients) comes from what is left.
    info.mem->max_memory_to_use = long(std::min<qint64>(budget.left(), LONG_MAX));
    if (!reader.guarded([](j_decompress_ptr info) { jpeg_start_decompress(info); }))
        return std::nullopt;
    if (plan.clipRect)
        return decodeClip(reader, *plan.clipRect, rowColours);
    return decodeWhole(reader, target, rowColours);
}

// The conversion of a CMYK picture's samples for the screen, by the CMYK profile it carries;
// Adobe's files, which most CMYK photos are, store the samples inverted. Null without one.
std::shared_ptr<const ColourTransform> cmykColoursFor(const jpeg_decompress_struct &info,
                                                      const std::optional<QByteArray> &profile,
                                                      const QByteArray &screenProfile)
{
    if ((info.jpeg_color_space != JCS_CMYK && info.jpeg_color_space != JCS_YCCK) || !profile)
        return nullptr;
    return screenColoursFor(profile,
                            screenProfile,
                            info.saw_Adobe_marker ? PixelLayout::CmykInverted : PixelLayout::Cmyk)
        .transform;
}

} // namespace

std::optional<LoadedPicture> decodeJpegPicture(const EncodedPicture &picture,
                                               const PictureRequest &request,
                                               const std::optional<QByteArray> &profile,
                                               MemoryBudget &budget)
{
    JpegReader reader(picture);
    jpeg_decompress_struct &info = reader.info();
    if (!reader.isCreated() || !reader.guarded([](j_decompress_ptr info) {
            jpeg_save_markers(info, JPEG_APP0 + 1, 0xFFFF);
            jpeg_read_header(info, TRUE);
        }))
        return std::nullopt;
    const QSize fileSize(int(info.image_width), int(info.image_height));
    const bool colour = info.jpeg_color_space == JCS_YCbCr || info.jpeg_color_space == JCS_RGB;
    const std::shared_ptr<const ColourTransform> cmykColours = cmykColoursFor(info,
                                                                              profile,
                                                                              request.screenProfile);
    // A colour or grey photo's RGB profile is applied to the rows the screen shows as they are
    // made; others (a grey profile) are left to the caller.
    const std::shared_ptr<const ColourTransform>
        rowColours = cmykColours
                         ? nullptr
                         : screenColoursFor(profile, request.screenProfile, PixelLayout::Bgra)
                               .transform;
    if ((!colour && info.jpeg_color_space != JCS_GRAYSCALE && !cmykColours)
        || qint64(fileSize.width()) * fileSize.height() * kBytesPerPixel > budget.left())
        return std::nullopt;
    const QImageIOHandler::Transformations transformation = exifTransformation(reader.app1Data());
    const DecodePlan plan = planDecode(fileSize, transformation, request);

    // libjpeg decodes a progressive file whole, at full precision, before its first row comes
    // out; our own decoder keeps only what the screen shows and uses both cores. For the whole
    // picture at full size libjpeg is the faster.
    const int eighths = plan.scaledSize ? eighthsFor(fileSize, *plan.scaledSize) : 8;
    std::optional<QImage> image;
    PictureDecoder decoder = PictureDecoder::Libjpeg;
    if (info.progressive_mode && !cmykColours && (eighths < 8 || plan.clipRect)) {
        // Out of a budget of its own: what a try that fails took is free again for libjpeg.
        MemoryBudget own(budget.left());
        image = decodeProgressiveJpeg(picture.bytes(),
                                      fileSize,
                                      eighths,
                                      plan,
                                      rowColours.get(),
                                      own);
        if (image && !budget.take(budget.left() - own.left()))
            return std::nullopt;
        decoder = PictureDecoder::ProgressiveJpeg;
    }
    if (!image) {
        image = decodeWithLibjpeg(reader, plan, eighths, cmykColours.get(), rowColours.get(), budget);
        decoder = PictureDecoder::Libjpeg;
    }
    if (!image)
        return std::nullopt;
    std::optional<QImage> shown = uprightPicture(std::move(*image), transformation, budget);
    if (!shown)
        return std::nullopt;
    return LoadedPicture{std::move(*shown),
                         plan.naturalSize,
                         plan.visibleOffset,
                         decoder,
                         cmykColours || rowColours ? PictureColours::Converted
                                                   : PictureColours::AsStored};
}
