#include "export/ShowFrames.h"

#include "player/FramedPicture.h"
#include "player/PictureGeometry.h"

#include <QPainter>

#include <thread>

ShowFrames::ShowFrames(QSize screenSize, int framesPerSecond)
    : m_screen(screenSize)
{
    // QImage's RGB32 is B, G, R, x in memory on little-endian machines.
    const GstVideoFormat screenFormat = G_BYTE_ORDER == G_LITTLE_ENDIAN ? GST_VIDEO_FORMAT_BGRx
                                                                        : GST_VIDEO_FORMAT_xRGB;
    gst_video_info_set_format(&m_screenInfo,
                              screenFormat,
                              static_cast<guint>(m_screen.width()),
                              static_cast<guint>(m_screen.height()));
    gst_video_info_set_format(&m_frameInfo,
                              GST_VIDEO_FORMAT_I420,
                              static_cast<guint>(m_screen.width()),
                              static_cast<guint>(m_screen.height()));
    m_frameInfo.fps_n = m_screenInfo.fps_n = framesPerSecond;
    m_frameInfo.fps_d = m_screenInfo.fps_d = 1;
    const guint threads = std::max(1u, std::thread::hardware_concurrency());
    m_converter = gst_video_converter_new(&m_screenInfo,
                                          &m_frameInfo,
                                          gst_structure_new("options",
                                                            GST_VIDEO_CONVERTER_OPT_THREADS,
                                                            G_TYPE_UINT,
                                                            threads,
                                                            nullptr));
}

ShowFrames::~ShowFrames()
{
    if (m_converter)
        gst_video_converter_free(m_converter);
}

GstCaps *ShowFrames::caps() const
{
    return gst_video_info_to_caps(&m_frameInfo);
}

QImage ShowFrames::paintScreen(const LoadedPicture &picture, PictureFit fit) const
{
    QImage screen(m_screen, QImage::Format_RGB32);
    screen.fill(Qt::black);
    const QRect area = pictureAreaRect(picture.naturalSize, m_screen, fit);
    QPainter painter(&screen);
    painter.translate(area.topLeft());
    paintFramedPicture(painter,
                       picture.image,
                       pictureTargetRect(area.size(),
                                         picture.image.size(),
                                         picture.visibleOffset,
                                         fit),
                       area.size());
    return screen;
}

GstBufferPtr ShowFrames::frameOf(const QImage &screen) const
{
    if (!m_converter || screen.size() != m_screen || screen.format() != QImage::Format_RGB32)
        return nullptr;
    // The screen's pixels are only read: wrapped, not copied.
    GstBufferPtr source(gst_buffer_new_wrapped_full(GST_MEMORY_FLAG_READONLY,
                                                    const_cast<uchar *>(screen.constBits()),
                                                    static_cast<gsize>(screen.sizeInBytes()),
                                                    0,
                                                    static_cast<gsize>(screen.sizeInBytes()),
                                                    nullptr,
                                                    nullptr));
    GstVideoInfo sourceInfo = m_screenInfo;
    sourceInfo.stride[0] = static_cast<gint>(screen.bytesPerLine());
    GstBufferPtr frame(gst_buffer_new_allocate(nullptr, m_frameInfo.size, nullptr));
    GstVideoFrame in;
    GstVideoFrame out;
    if (!gst_video_frame_map(&in, &sourceInfo, source.get(), GST_MAP_READ))
        return nullptr;
    if (!gst_video_frame_map(&out, &m_frameInfo, frame.get(), GST_MAP_WRITE)) {
        gst_video_frame_unmap(&in);
        return nullptr;
    }
    gst_video_converter_frame(m_converter, &in, &out);
    gst_video_frame_unmap(&out);
    gst_video_frame_unmap(&in);
    return frame;
}

GstBufferPtr ShowFrames::blackFrame() const
{
    QImage screen(m_screen, QImage::Format_RGB32);
    screen.fill(Qt::black);
    return frameOf(screen);
}
