#include "support/LibraryDecode.h"

#include "picture/ColourTransform.h"
#include "picture/EmbeddedColourProfile.h"
#include "picture/RowScaler.h"

#include <QBuffer>
#include <QImageReader>

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstring>
#include <limits>
#include <vector>

#include <jerror.h>
#include <jpeglib.h>
#include <png.h>

namespace {

// libjpeg: errors jump back to the call that set the trap; warnings are counted.
struct JpegTrap
{
    jpeg_error_mgr manager{};
    std::jmp_buf jump{};
    bool warned = false;
};

[[noreturn]] void jpegFailed(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<JpegTrap *>(info->err)->jump, 1);
}

void jpegMessage(j_common_ptr info, int level)
{
    if (level < 0)
        reinterpret_cast<JpegTrap *>(info->err)->warned = true;
}

// One libjpeg decompression. Everything that changes after the trap is set lives here, not in
// the frame that setjmp returns to twice.
struct JpegJob
{
    jpeg_decompress_struct info{};
    JpegTrap trap;
    bool created = false;
    QImage image;
    std::optional<QByteArray> colourProfile;
    std::shared_ptr<const ColourTransform> cmykColours;
};

// The ICC profile as libjpeg puts it together: nothing without its markers, empty when they do
// not make one.
std::optional<QByteArray> libjpegColourProfile(j_decompress_ptr info)
{
    bool marked = false;
    for (jpeg_saved_marker_ptr marker = info->marker_list; marker; marker = marker->next)
        marked = marked
                 || (marker->data_length >= 14 && !std::memcmp(marker->data, "ICC_PROFILE", 12));
    if (!marked)
        return std::nullopt;
    JOCTET *data = nullptr;
    unsigned int length = 0;
    if (!jpeg_read_icc_profile(info, &data, &length))
        return QByteArray();
    QByteArray profile(reinterpret_cast<const char *>(data), qsizetype(length));
    std::free(data);
    return profile;
}

void readJpegRows(JpegJob &job)
{
    jpeg_decompress_struct &info = job.info;
    job.image = QImage(int(info.output_width), int(info.output_height), QImage::Format_RGB32);
    if (job.image.isNull())
        ERREXIT(&info, JERR_OUT_OF_MEMORY);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = job.image.scanLine(int(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
}

// Reads the header, and the pixels at eighths/8 unless eighths is 0; false on an error.
bool runJpeg(JpegJob &job, QByteArrayView bytes, int eighths)
{
    job.info.err = jpeg_std_error(&job.trap.manager);
    job.trap.manager.error_exit = jpegFailed;
    job.trap.manager.emit_message = jpegMessage;
    if (setjmp(job.trap.jump) != 0)
        return false;
    jpeg_create_decompress(&job.info);
    job.created = true;
    jpeg_mem_src(&job.info,
                 reinterpret_cast<const unsigned char *>(bytes.data()),
                 static_cast<unsigned long>(bytes.size()));
    jpeg_save_markers(&job.info, JPEG_APP0 + 2, 0xFFFF);
    if (jpeg_read_header(&job.info, TRUE) != JPEG_HEADER_OK)
        return false;
    job.colourProfile = libjpegColourProfile(&job.info);
    if (eighths == 0)
        return true;
    // A CMYK picture with a profile for it comes out converted for an sRGB screen, as the player
    // converts it; without one libjpeg refuses to turn CMYK into Format_RGB32.
    const bool cmyk = job.info.jpeg_color_space == JCS_CMYK
                      || job.info.jpeg_color_space == JCS_YCCK;
    if (cmyk && job.colourProfile)
        job.cmykColours = screenColoursFor(job.colourProfile,
                                           {},
                                           job.info.saw_Adobe_marker ? PixelLayout::CmykInverted
                                                                     : PixelLayout::Cmyk)
                              .transform;
    job.info.out_color_space = job.cmykColours ? JCS_CMYK : JCS_EXT_BGRX; // Format_RGB32's order
    job.info.scale_num = unsigned(eighths);
    job.info.scale_denom = 8;
    jpeg_start_decompress(&job.info);
    readJpegRows(job);
    if (job.cmykColours)
        job.cmykColours->convertRows(job.image.bits(),
                                     job.image.width(),
                                     job.image.height(),
                                     job.image.bytesPerLine());
    return true;
}

LibraryOutcome outcome(bool succeeded, bool warned)
{
    if (!succeeded)
        return LibraryOutcome::Failed;
    return warned ? LibraryOutcome::Warned : LibraryOutcome::Clean;
}

bool takenByOwnProgressiveDecoder(const jpeg_decompress_struct &info)
{
    const bool grey = info.num_components == 1 && info.jpeg_color_space == JCS_GRAYSCALE;
    const bool ycbcr = info.num_components == 3 && info.jpeg_color_space == JCS_YCbCr;
    bool sampledAtMostTwice = true;
    for (int i = 0; i < info.num_components; ++i) {
        const jpeg_component_info &component = info.comp_info[i];
        sampledAtMostTwice = sampledAtMostTwice && component.h_samp_factor <= 2
                             && component.v_samp_factor <= 2;
    }
    return info.progressive_mode && !info.arith_code && info.data_precision == 8 && (grey || ycbcr)
           && sampledAtMostTwice;
}

// The orientation as Qt's reader sees it in the file.
QImageIOHandler::Transformations qtTransformation(QByteArrayView bytes)
{
    QBuffer device;
    device.setData(QByteArray::fromRawData(bytes.data(), bytes.size()));
    device.open(QIODevice::ReadOnly);
    QImageReader reader(&device);
    return reader.transformation();
}

LibraryHeader readJpegHeader(QByteArrayView bytes)
{
    LibraryHeader header;
    header.format = PictureFormat::Jpeg;
    JpegJob job;
    const bool read = runJpeg(job, bytes, 0);
    header.outcome = outcome(read, job.trap.warned);
    if (read) {
        header.size = QSize(int(job.info.image_width), int(job.info.image_height));
        header.progressiveOwnJpeg = takenByOwnProgressiveDecoder(job.info);
        header.transformation = qtTransformation(bytes);
        header.colourProfile = job.colourProfile;
        header.cmyk = job.info.jpeg_color_space == JCS_CMYK
                      || job.info.jpeg_color_space == JCS_YCCK;
    }
    if (job.created)
        jpeg_destroy_decompress(&job.info);
    return header;
}

// libpng: errors jump back through png_jmpbuf; warnings are counted.
struct PngJob
{
    QByteArrayView bytes;
    qsizetype at = 0;
    bool warned = false;
    png_structp png = nullptr;
    png_infop info = nullptr;
    png_infop endInfo = nullptr;
    QSize size;
    QImage image;
    std::vector<png_bytep> rows;
    bool transparent = false;
};

void pngRead(png_structp png, png_bytep into, png_size_t count)
{
    auto *job = static_cast<PngJob *>(png_get_io_ptr(png));
    if (count > png_size_t(job->bytes.size() - job->at))
        png_error(png, "the file ends early");
    std::memcpy(into, job->bytes.data() + job->at, count);
    job->at += qsizetype(count);
}

void pngWarned(png_structp png, png_const_charp)
{
    static_cast<PngJob *>(png_get_error_ptr(png))->warned = true;
}

[[noreturn]] void pngFailed(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

// Asks libpng for 8-bit BGRA rows of every file, whatever its type and depth.
void setPngTransformations(PngJob &job)
{
    const int colourType = png_get_color_type(job.png, job.info);
    job.transparent = (colourType & PNG_COLOR_MASK_ALPHA) != 0
                      || png_get_valid(job.png, job.info, PNG_INFO_tRNS) != 0;
    png_set_scale_16(job.png);
    png_set_expand(job.png);
    png_set_gray_to_rgb(job.png);
    png_set_bgr(job.png);
    png_set_filler(job.png, 0xff, PNG_FILLER_AFTER);
    png_set_interlace_handling(job.png);
    png_read_update_info(job.png, job.info);
}

// Reads the header, and the pixels unless headerOnly; false on an error.
bool runPng(PngJob &job, bool headerOnly)
{
    if (setjmp(png_jmpbuf(job.png)) != 0)
        return false;
    png_set_read_fn(job.png, &job, pngRead);
    // Text is passed over unread: libpng clears a buffer as large as a text chunk's length says
    // before it reads it, hundreds of megabytes for a damaged one, and text never changes what a
    // picture shows (a chunk past the end of the file still fails it).
    static constexpr png_byte kText[] = "tEXt\0zTXt\0iTXt";
    png_set_keep_unknown_chunks(job.png, PNG_HANDLE_CHUNK_NEVER, kText, 3);
    png_read_info(job.png, job.info);
    const qint64 width = png_get_image_width(job.png, job.info);
    const qint64 height = png_get_image_height(job.png, job.info);
    job.size = QSize(int(width), int(height));
    if (headerOnly)
        return true;
    setPngTransformations(job);
    if (png_get_rowbytes(job.png, job.info) != png_size_t(width) * 4)
        png_error(job.png, "rows of an unexpected size");
    job.image = QImage(int(width), int(height), QImage::Format_ARGB32);
    if (job.image.isNull())
        png_error(job.png, "no memory for the picture");
    job.rows.resize(std::size_t(height));
    for (int y = 0; y < int(height); ++y)
        job.rows[std::size_t(y)] = job.image.scanLine(y);
    png_read_image(job.png, job.rows.data());
    // The chunks after the image data too, as Qt's reader reads them, into an info of their own:
    // one damaged past repair there, or a critical one libpng does not know, fails the whole
    // picture. (Without an info libpng would pass over every chunk there unread.)
    png_read_end(job.png, job.endInfo);
    return true;
}

// Runs libpng over the bytes; the job holds what it read.
bool withPng(PngJob &job, bool headerOnly)
{
    job.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &job, pngFailed, pngWarned);
    job.info = job.png ? png_create_info_struct(job.png) : nullptr;
    job.endInfo = job.png ? png_create_info_struct(job.png) : nullptr;
    const bool read = job.info && job.endInfo && runPng(job, headerOnly);
    png_destroy_read_struct(&job.png, &job.info, &job.endInfo);
    return read;
}

QImage premultipliedOrOpaque(QImage image, bool transparent)
{
    if (!transparent)
        return image.reinterpretAsFormat(QImage::Format_RGB32) ? image : QImage();
    for (int y = 0; y < image.height(); ++y) {
        auto *row = reinterpret_cast<QRgb *>(image.scanLine(y));
        std::transform(row, row + image.width(), row, [](QRgb pixel) {
            return qPremultiply(pixel);
        });
    }
    return image.reinterpretAsFormat(QImage::Format_ARGB32_Premultiplied) ? image : QImage();
}

LibraryHeader readPngHeader(QByteArrayView bytes)
{
    LibraryHeader header;
    header.format = PictureFormat::Png;
    PngJob job;
    job.bytes = bytes;
    const bool read = withPng(job, true);
    header.outcome = outcome(read, job.warned);
    header.size = job.size;
    header.colourProfile = embeddedColourProfile(bytes);
    return header;
}

// Turned upright as Qt's reader turns a picture: mirrored across and flipped down as the
// transformation says, then turned a quarter clockwise. Written pixel by pixel so that it
// checks the player's own turning rather than repeating it.
QImage turnedUpright(const QImage &image, QImageIOHandler::Transformations transformation)
{
    if (transformation == QImageIOHandler::TransformationNone)
        return image;
    const bool turn = transformation.testFlag(QImageIOHandler::TransformationRotate90);
    const bool mirror = transformation.testFlag(QImageIOHandler::TransformationMirror);
    const bool flip = transformation.testFlag(QImageIOHandler::TransformationFlip);
    const int width = image.width();
    const int height = image.height();
    QImage upright(turn ? image.size().transposed() : image.size(), image.format());
    for (int y = 0; y < upright.height(); ++y) {
        auto *out = reinterpret_cast<QRgb *>(upright.scanLine(y));
        for (int x = 0; x < upright.width(); ++x) {
            int sourceX = turn ? y : x;
            int sourceY = turn ? height - 1 - x : y;
            sourceX = mirror ? width - 1 - sourceX : sourceX;
            sourceY = flip ? height - 1 - sourceY : sourceY;
            out[x] = reinterpret_cast<const QRgb *>(image.constScanLine(sourceY))[sourceX];
        }
    }
    return upright;
}

QImage scaledAsThePlayerScales(const QImage &image, QSize target)
{
    RowScaler scaler(image.size(), target, image.format());
    scaler.addRows(image.constBits(), image.height(), image.bytesPerLine());
    return scaler.takeResult();
}

QRect centredPart(QSize picture, QSize screen)
{
    const QSize part = picture.boundedTo(screen);
    return {QPoint((picture.width() - part.width()) / 2, (picture.height() - part.height()) / 2),
            part};
}

} // namespace

int jpegEighthsFor(QSize file, QSize wanted)
{
    for (int eighths = 1; eighths < 8; ++eighths) {
        const int width = (file.width() * eighths + 7) / 8;
        const int height = (file.height() * eighths + 7) / 8;
        if (width >= wanted.width() && height >= wanted.height())
            return eighths;
    }
    return 8;
}

LibraryHeader readLibraryHeader(QByteArrayView bytes)
{
    if (bytes.startsWith("\xFF\xD8"))
        return readJpegHeader(bytes);
    if (bytes.startsWith("\x89PNG\r\n\x1a\n"))
        return readPngHeader(bytes);
    return {};
}

LibraryImage decodeWithLibjpeg(QByteArrayView bytes, int eighths)
{
    JpegJob job;
    const bool decoded = runJpeg(job, bytes, eighths);
    if (job.created)
        jpeg_destroy_decompress(&job.info);
    const LibraryOutcome result = outcome(decoded, job.trap.warned);
    return {result == LibraryOutcome::Failed ? QImage() : job.image, result};
}

LibraryImage decodeWithLibpng(QByteArrayView bytes)
{
    PngJob job;
    job.bytes = bytes;
    const bool decoded = withPng(job, false);
    if (!decoded)
        return {};
    return {premultipliedOrOpaque(std::move(job.image), job.transparent), outcome(true, job.warned)};
}

ReferenceDecoder::ReferenceDecoder(QByteArrayView bytes, qint64 maxPixels, ReferenceColours colours)
    : m_bytes(bytes)
    , m_header(readLibraryHeader(bytes))
    , m_maxPixels(maxPixels)
    , m_colours(colours)
{}

const LibraryImage &ReferenceDecoder::decoded(int eighths)
{
    auto found = m_decodes.find(eighths);
    if (found == m_decodes.end()) {
        LibraryImage image = m_header.format == PictureFormat::Jpeg
                                 ? decodeWithLibjpeg(m_bytes, eighths)
                                 : decodeWithLibpng(m_bytes);
        found = m_decodes.emplace(eighths, std::move(image)).first;
    }
    return found->second;
}

ReferencePicture ReferenceDecoder::picture(const PictureRequest &request)
{
    ReferencePicture reference;
    reference.outcome = m_header.outcome;
    if (m_header.outcome == LibraryOutcome::Failed)
        return reference;
    const bool turn = m_header.transformation.testFlag(QImageIOHandler::TransformationRotate90);
    reference.naturalSize = turn ? m_header.size.transposed() : m_header.size;
    if (qint64(m_header.size.width()) * m_header.size.height() > m_maxPixels) {
        reference.outcome = LibraryOutcome::TooLarge;
        return reference;
    }
    const QSize screen = request.screenSize;
    const bool whole = screen.isEmpty();
    const bool stretch = !whole && request.fit == PictureFit::Stretch
                         && screen != reference.naturalSize;
    const bool cut = !whole && request.fit == PictureFit::NaturalSize
                     && reference.naturalSize.boundedTo(screen) != reference.naturalSize;
    const QSize target = turn ? screen.transposed() : screen;
    const bool jpeg = m_header.format == PictureFormat::Jpeg;
    const int eighths = jpeg && stretch ? jpegEighthsFor(m_header.size, target) : 8;
    const LibraryImage &library = decoded(eighths);
    reference.outcome = library.outcome;
    if (library.image.isNull())
        return reference;
    QImage upright = turnedUpright(stretch ? scaledAsThePlayerScales(library.image, target)
                                           : library.image,
                                   m_header.transformation);
    if (cut) {
        const QRect part = centredPart(reference.naturalSize, screen);
        reference.visibleOffset = part.topLeft();
        upright = upright.copy(part);
    }
    // The player converts a CMYK picture's colours as it decodes, every other after.
    if (!m_header.cmyk && m_colours == ReferenceColours::ForAnSrgbScreen)
        convertToScreenColours(upright, m_header.colourProfile, {});
    reference.image = std::move(upright);
    const bool own = m_header.progressiveOwnJpeg && (eighths < 8 || cut);
    reference.decoder = !jpeg ? PictureDecoder::Png
                        : own ? PictureDecoder::ProgressiveJpeg
                              : PictureDecoder::Libjpeg;
    return reference;
}

PictureDifference pictureDifference(const QImage &a, const QImage &b)
{
    const QImage x = a.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QImage y = b.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    double squares = 0;
    int largest = 0;
    for (int row = 0; row < x.height(); ++row) {
        const auto *p = reinterpret_cast<const QRgb *>(x.constScanLine(row));
        const auto *q = reinterpret_cast<const QRgb *>(y.constScanLine(row));
        for (int col = 0; col < x.width(); ++col) {
            const int d[] = {qRed(p[col]) - qRed(q[col]),
                             qGreen(p[col]) - qGreen(q[col]),
                             qBlue(p[col]) - qBlue(q[col]),
                             qAlpha(p[col]) - qAlpha(q[col])};
            squares += d[0] * d[0] + d[1] * d[1] + d[2] * d[2];
            for (const int channel : d)
                largest = std::max(largest, std::abs(channel));
        }
    }
    const double mean = squares / (3.0 * std::max<qint64>(1, qint64(x.width()) * x.height()));
    const double psnr = mean == 0 ? std::numeric_limits<double>::infinity()
                                  : 10 * std::log10(255.0 * 255.0 / mean);
    return {psnr, largest};
}

const char *decoderName(PictureDecoder decoder)
{
    switch (decoder) {
    case PictureDecoder::Libjpeg:
        return "libjpeg";
    case PictureDecoder::ProgressiveJpeg:
        return "own progressive JPEG";
    case PictureDecoder::Png:
        return "own PNG";
    case PictureDecoder::Heif:
        return "libheif";
    case PictureDecoder::QtReader:
        return "Qt's reader";
    }
    return "?";
}
