#include "export/MusicDecoder.h"

#include <gst/app/gstappsink.h>

namespace {

// How long a file may give nothing before it counts as unplayable (a stalled source).
constexpr GstClockTime kStallTimeout = 10 * GST_SECOND;
constexpr GstClockTime kPollInterval = 50 * GST_MSECOND;

} // namespace

GstCaps *musicCaps()
{
    return gst_caps_new_simple("audio/x-raw",
                               "format",
                               G_TYPE_STRING,
                               "S16LE",
                               "layout",
                               G_TYPE_STRING,
                               "interleaved",
                               "rate",
                               G_TYPE_INT,
                               kMusicRate,
                               "channels",
                               G_TYPE_INT,
                               kMusicChannels,
                               nullptr);
}

// One file decoded by uridecodebin into an appsink, on GStreamer's own threads.
struct MusicDecoder::FileDecode
{
    explicit FileDecode(const QString &path);
    ~FileDecode();

    // The first sound stream goes to the converter; anything else (the picture of a video
    // file) is decoded into nothing, as the player's hidden media player shows nothing.
    static void padAdded(GstElement *, GstPad *pad, FileDecode *self);
    static void noMorePads(GstElement *, FileDecode *self) { self->allPadsKnown = true; }

    // The next decoded bytes; empty at the end of the file or when it cannot be played.
    QByteArray next();

    GstElementPtr pipeline;
    GstBusPtr bus;
    GstElement *convert = nullptr;
    GstElement *sink = nullptr;
    std::atomic<bool> hasAudio = false;
    std::atomic<bool> allPadsKnown = false;
    bool usable = false;
};

MusicDecoder::FileDecode::FileDecode(const QString &path)
{
    pipeline.reset(GST_ELEMENT(gst_object_ref_sink(gst_pipeline_new("music"))));
    GstElement *decode = gst_element_factory_make("uridecodebin", nullptr);
    convert = gst_element_factory_make("audioconvert", nullptr);
    GstElement *resample = gst_element_factory_make("audioresample", nullptr);
    GstElement *filter = gst_element_factory_make("capsfilter", nullptr);
    sink = gst_element_factory_make("appsink", nullptr);
    if (!decode || !convert || !resample || !filter || !sink)
        return;
    gst_bin_add_many(GST_BIN(pipeline.get()), decode, convert, resample, filter, sink, nullptr);
    GstCaps *caps = musicCaps();
    g_object_set(filter, "caps", caps, nullptr);
    gst_caps_unref(caps);
    // Decoding runs ahead of the encoder by a few buffers at most.
    g_object_set(sink, "sync", FALSE, "max-buffers", 8u, "drop", FALSE, nullptr);
    if (!gst_element_link_many(convert, resample, filter, sink, nullptr))
        return;
    gchar *uri = gst_filename_to_uri(qPrintable(path), nullptr);
    if (!uri)
        return;
    g_object_set(decode, "uri", uri, nullptr);
    g_free(uri);
    g_signal_connect(decode, "pad-added", G_CALLBACK(&FileDecode::padAdded), this);
    g_signal_connect(decode, "no-more-pads", G_CALLBACK(&FileDecode::noMorePads), this);
    bus.reset(gst_element_get_bus(pipeline.get()));
    usable = gst_element_set_state(pipeline.get(), GST_STATE_PLAYING) != GST_STATE_CHANGE_FAILURE;
}

MusicDecoder::FileDecode::~FileDecode()
{
    if (pipeline)
        gst_element_set_state(pipeline.get(), GST_STATE_NULL);
}

void MusicDecoder::FileDecode::padAdded(GstElement *, GstPad *pad, FileDecode *self)
{
    GstCaps *caps = gst_pad_get_current_caps(pad);
    if (!caps)
        caps = gst_pad_query_caps(pad, nullptr);
    const bool isAudio = caps
                         && g_str_has_prefix(gst_structure_get_name(gst_caps_get_structure(caps, 0)),
                                             "audio/");
    if (caps)
        gst_caps_unref(caps);
    if (isAudio && !self->hasAudio.exchange(true)) {
        GstPad *target = gst_element_get_static_pad(self->convert, "sink");
        gst_pad_link(pad, target);
        gst_object_unref(target);
        return;
    }
    GstElement *discard = gst_element_factory_make("fakesink", nullptr);
    g_object_set(discard, "sync", FALSE, "async", FALSE, nullptr);
    gst_bin_add(GST_BIN(self->pipeline.get()), discard);
    gst_element_sync_state_with_parent(discard);
    GstPad *target = gst_element_get_static_pad(discard, "sink");
    gst_pad_link(pad, target);
    gst_object_unref(target);
}

QByteArray MusicDecoder::FileDecode::next()
{
    GstClockTime waited = 0;
    while (usable) {
        if (GstSample *sample = gst_app_sink_try_pull_sample(GST_APP_SINK(sink), kPollInterval)) {
            QByteArray bytes;
            if (GstBuffer *buffer = gst_sample_get_buffer(sample)) {
                GstMapInfo map;
                if (gst_buffer_map(buffer, &map, GST_MAP_READ)) {
                    bytes = QByteArray(reinterpret_cast<const char *>(map.data),
                                       static_cast<qsizetype>(map.size));
                    gst_buffer_unmap(buffer, &map);
                }
            }
            gst_sample_unref(sample);
            return bytes;
        }
        waited += kPollInterval;
        GstMessagePtr error(gst_bus_pop_filtered(bus.get(), GST_MESSAGE_ERROR));
        const bool noSound = allPadsKnown && !hasAudio;
        if (error || noSound || gst_app_sink_is_eos(GST_APP_SINK(sink)) || waited >= kStallTimeout) {
            usable = false;
        }
    }
    return {};
}

MusicDecoder::MusicDecoder(QStringList paths)
    : m_paths(std::move(paths))
{}

MusicDecoder::~MusicDecoder() = default;

QStringList MusicDecoder::elementsNeeded()
{
    return {QStringLiteral("uridecodebin"),
            QStringLiteral("audioconvert"),
            QStringLiteral("audioresample"),
            QStringLiteral("capsfilter"),
            QStringLiteral("appsink"),
            QStringLiteral("fakesink")};
}

QByteArray MusicDecoder::read(qint64 frames)
{
    QByteArray out;
    qint64 bytesLeft = frames * kMusicBytesPerFrame;
    out.reserve(bytesLeft);
    while (bytesLeft > 0 && !m_paths.isEmpty() && m_filesWithoutSound < m_paths.size()) {
        if (!m_file)
            openNextFile();
        if (!readFromCurrentFile(out, bytesLeft))
            m_file.reset();
    }
    out.append(bytesLeft, '\0'); // silence when no file plays
    return out;
}

bool MusicDecoder::readFromCurrentFile(QByteArray &out, qint64 &bytesLeft)
{
    while (bytesLeft > 0) {
        if (m_pending.isEmpty()) {
            m_pending = m_file->next();
            if (m_pending.isEmpty())
                return false;
            m_filesWithoutSound = 0;
        }
        const qint64 taken = std::min<qint64>(bytesLeft, m_pending.size());
        out.append(m_pending.constData(), taken);
        m_pending.remove(0, taken);
        bytesLeft -= taken;
    }
    return true;
}

void MusicDecoder::openNextFile()
{
    // Counted as silent until it gives its first sound.
    ++m_filesWithoutSound;
    m_file = std::make_unique<FileDecode>(m_paths.at(m_next));
    m_next = (m_next + 1) % m_paths.size();
}
