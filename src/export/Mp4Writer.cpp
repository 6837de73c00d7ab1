#include "export/Mp4Writer.h"

#include "export/MusicDecoder.h"

#include <gst/app/gstappsrc.h>
#include <gst/video/video.h>

#include <QFile>

namespace {

// Frames waiting in front of the encoder: enough to keep it busy, few enough to bound memory.
constexpr guint64 kQueuedFrames = 3;
constexpr GstClockTime kWaitSlice = 2 * GST_MSECOND;
constexpr int kMusicBitsPerSecond = 192000;
// A key frame at least every ten seconds, so players can seek.
constexpr int kKeyFrameSeconds = 10;

// H.264 settings for a slideshow, where nearly every frame repeats the one before. With a
// constant quantizer each picture's key frame is coded finer than the frames after it, so those
// have nothing left to add and are skipped whole; a rate-controlled encoder would keep refining
// the same picture frame after frame, which costs time and bits. The fastest preset does the
// least work per repeated frame; CABAC and the deblocking filter are back on for small, clean
// files.
void configureVideoEncoder(GstElement *encoder, int framesPerSecond)
{
    gst_util_set_object_arg(G_OBJECT(encoder), "speed-preset", "ultrafast");
    gst_util_set_object_arg(G_OBJECT(encoder), "pass", "quant");
    g_object_set(encoder,
                 "quantizer",
                 21u,
                 "key-int-max",
                 static_cast<guint>(framesPerSecond * kKeyFrameSeconds),
                 "option-string",
                 "cabac=1:deblock=1",
                 nullptr);
}

GstElement *appSource(GstCaps *caps)
{
    GstElement *source = gst_element_factory_make("appsrc", nullptr);
    if (!source)
        return nullptr;
    // The writer waits for room itself, so that an error downstream never leaves it blocked.
    g_object_set(source,
                 "caps",
                 caps,
                 "format",
                 GST_FORMAT_TIME,
                 "is-live",
                 FALSE,
                 "block",
                 FALSE,
                 "max-bytes",
                 G_GUINT64_CONSTANT(0),
                 nullptr);
    return source;
}

const QStringList kMusicEncoders{QStringLiteral("avenc_aac"), QStringLiteral("voaacenc")};

} // namespace

Mp4Writer::Mp4Writer(Cancelled cancelled)
    : m_cancelled(std::move(cancelled))
{}

Mp4Writer::~Mp4Writer()
{
    if (m_pipeline)
        gst_element_set_state(m_pipeline.get(), GST_STATE_NULL);
}

QStringList Mp4Writer::elementsNeeded()
{
    return {QStringLiteral("appsrc"),
            QStringLiteral("x264enc"),
            QStringLiteral("mp4mux"),
            QStringLiteral("filesink"),
            QStringLiteral("audioconvert"),
            kMusicEncoders.join(u'|')};
}

bool Mp4Writer::start(const QString &path,
                      const QString &indexScratchPath,
                      GstCaps *frameCaps,
                      int framesPerSecond,
                      bool withMusic)
{
    m_framesPerSecond = framesPerSecond;
    m_pipeline.reset(GST_ELEMENT(gst_object_ref_sink(gst_pipeline_new("export"))));
    m_bus.reset(gst_element_get_bus(m_pipeline.get()));
    GstBin *bin = GST_BIN(m_pipeline.get());

    m_frames = appSource(frameCaps);
    GstElement *encoder = gst_element_factory_make("x264enc", nullptr);
    GstElement *mux = gst_element_factory_make("mp4mux", nullptr);
    GstElement *file = gst_element_factory_make("filesink", nullptr);
    if (!m_frames || !encoder || !mux || !file)
        return fail(QStringLiteral("The video encoder cannot be set up"));
    configureVideoEncoder(encoder, framesPerSecond);
    g_object_set(mux,
                 "faststart",
                 TRUE,
                 "faststart-file",
                 QFile::encodeName(indexScratchPath).constData(),
                 nullptr);
    g_object_set(file, "location", QFile::encodeName(path).constData(), nullptr);
    gst_bin_add_many(bin, m_frames, encoder, mux, file, nullptr);
    if (!gst_element_link_many(m_frames, encoder, mux, file, nullptr))
        return fail(QStringLiteral("The video encoder cannot be set up"));

    if (withMusic) {
        GstCaps *caps = musicCaps();
        m_music = appSource(caps);
        gst_caps_unref(caps);
        GstElement *convert = gst_element_factory_make("audioconvert", nullptr);
        const QString encoderName = firstInstalledElement(kMusicEncoders);
        GstElement *musicEncoder = gst_element_factory_make(qPrintable(encoderName), nullptr);
        if (!m_music || !convert || !musicEncoder)
            return fail(QStringLiteral("The sound encoder cannot be set up"));
        g_object_set(musicEncoder, "bitrate", kMusicBitsPerSecond, nullptr);
        gst_bin_add_many(bin, m_music, convert, musicEncoder, nullptr);
        if (!gst_element_link_many(m_music, convert, musicEncoder, mux, nullptr))
            return fail(QStringLiteral("The sound encoder cannot be set up"));
    }

    if (gst_element_set_state(m_pipeline.get(), GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
        if (!takeBusError())
            return fail(QStringLiteral("The video file cannot be written"));
        return false;
    }
    return !takeBusError();
}

bool Mp4Writer::pushFrame(GstBuffer *frame, qint64 frameNumber, bool startsPicture)
{
    if (!waitForRoom())
        return false;
    GstBuffer *shown = gst_buffer_copy(frame); // shares the pixels, gets its own timestamps
    const GstClockTime start = gst_util_uint64_scale(static_cast<guint64>(frameNumber),
                                                     GST_SECOND,
                                                     static_cast<guint64>(m_framesPerSecond));
    const GstClockTime end = gst_util_uint64_scale(static_cast<guint64>(frameNumber + 1),
                                                   GST_SECOND,
                                                   static_cast<guint64>(m_framesPerSecond));
    GST_BUFFER_PTS(shown) = start;
    GST_BUFFER_DTS(shown) = GST_CLOCK_TIME_NONE;
    GST_BUFFER_DURATION(shown) = end - start;
    if (startsPicture) {
        // Travels in order with the frames to the encoder.
        gst_element_send_event(m_frames,
                               gst_video_event_new_downstream_force_key_unit(start,
                                                                             GST_CLOCK_TIME_NONE,
                                                                             GST_CLOCK_TIME_NONE,
                                                                             TRUE,
                                                                             0));
    }
    if (gst_app_src_push_buffer(GST_APP_SRC(m_frames), shown) != GST_FLOW_OK)
        return stopped();
    return !takeBusError();
}

bool Mp4Writer::pushMusic(const QByteArray &samples, qint64 firstSampleFrame)
{
    if (!m_music || samples.isEmpty())
        return true;
    GstBuffer *buffer = gst_buffer_new_memdup(samples.constData(),
                                              static_cast<gsize>(samples.size()));
    const qint64 frames = samples.size() / kMusicBytesPerFrame;
    GST_BUFFER_PTS(buffer) = gst_util_uint64_scale(static_cast<guint64>(firstSampleFrame),
                                                   GST_SECOND,
                                                   kMusicRate);
    GST_BUFFER_DURATION(buffer) = gst_util_uint64_scale(static_cast<guint64>(frames),
                                                        GST_SECOND,
                                                        kMusicRate);
    if (gst_app_src_push_buffer(GST_APP_SRC(m_music), buffer) != GST_FLOW_OK)
        return stopped();
    return true;
}

bool Mp4Writer::finish()
{
    gst_app_src_end_of_stream(GST_APP_SRC(m_frames));
    if (m_music)
        gst_app_src_end_of_stream(GST_APP_SRC(m_music));
    while (!m_cancelled()) {
        GstMessagePtr message(gst_bus_timed_pop_filtered(m_bus.get(),
                                                         50 * GST_MSECOND,
                                                         static_cast<GstMessageType>(
                                                             GST_MESSAGE_EOS | GST_MESSAGE_ERROR)));
        if (!message)
            continue;
        if (GST_MESSAGE_TYPE(message.get()) == GST_MESSAGE_ERROR)
            return fail(errorText(message.get()));
        // The muxer has written the index and the file is whole once the sink has closed it.
        gst_element_set_state(m_pipeline.get(), GST_STATE_NULL);
        return true;
    }
    return false;
}

bool Mp4Writer::waitForRoom()
{
    while (gst_app_src_get_current_level_buffers(GST_APP_SRC(m_frames)) >= kQueuedFrames) {
        if (m_cancelled())
            return false;
        GstMessagePtr error(gst_bus_timed_pop_filtered(m_bus.get(), kWaitSlice, GST_MESSAGE_ERROR));
        if (error)
            return fail(errorText(error.get()));
    }
    return !m_cancelled();
}

bool Mp4Writer::takeBusError()
{
    GstMessagePtr error(gst_bus_pop_filtered(m_bus.get(), GST_MESSAGE_ERROR));
    if (!error)
        return false;
    fail(errorText(error.get()));
    return true;
}

// A refused buffer means the pipeline has stopped; its bus says why.
bool Mp4Writer::stopped()
{
    if (!takeBusError())
        fail(QStringLiteral("The video encoder stopped"));
    return false;
}

bool Mp4Writer::fail(const QString &text)
{
    if (m_error.isEmpty())
        m_error = text;
    return false;
}
