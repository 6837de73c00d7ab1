#include "sound/SoundOnlyPlaybin.h"

#include "platform/NativePath.h"
#include "platform/RegularFile.h"

#include <QFileInfo>
#include <QUrl>

#include <gst/gst.h>

#include <cstring>

namespace {

// playbin's flags: decode audio and set the volume in software; no video, no subtitles.
constexpr guint kPlayAudioOnly = (1U << 1) | (1U << 4);

// decodebin's GstAutoplugSelectResult, which it does not export.
constexpr gint kAutoplugTry = 0;
constexpr gint kAutoplugExpose = 1;

// Leaves pictures and subtitles undecoded: their streams reach the discarding sinks as they are.
// Decoding an HD video costs about a fifth of a core, which the picture decoder needs. Passing
// the stream on undecoded, rather than leaving it out, keeps the file's end as playbin expects
// it, so that the next file follows without a gap.
gint leavePicturesUndecoded(GstElement *, GstPad *, GstCaps *, GstElementFactory *factory, gpointer)
{
    const gchar *klass = gst_element_factory_get_metadata(factory, GST_ELEMENT_METADATA_KLASS);
    if (!klass)
        return kAutoplugTry;
    for (const char *kind : {"Video", "Image", "Subtitle"}) {
        if (std::strstr(klass, kind))
            return kAutoplugExpose;
    }
    return kAutoplugTry;
}

// Every decodebin that playbin makes, one per file and one per stream inside a stream.
void watchDecodebin(GstBin *, GstBin *, GstElement *element, gpointer)
{
    GstElementFactory *factory = gst_element_get_factory(element);
    if (factory && std::strcmp(GST_OBJECT_NAME(factory), "decodebin") == 0)
        g_signal_connect(element, "autoplug-select", G_CALLBACK(leavePicturesUndecoded), nullptr);
}

GstElement *discardingSink()
{
    GstElement *sink = gst_element_factory_make("fakesink", nullptr);
    if (sink)
        g_object_set(sink, "sync", FALSE, "enable-last-sample", FALSE, nullptr);
    return sink;
}

} // namespace

bool startGStreamer()
{
    static const bool started = gst_init_check(nullptr, nullptr, nullptr);
    return started;
}

GstElement *makeSoundOnlyPlaybin(const char *name, GstElement *audioSink)
{
    if (!startGStreamer())
        return nullptr;
    GstElement *playbin = gst_element_factory_make("playbin", name);
    GstElement *videoSink = discardingSink();
    GstElement *textSink = discardingSink();
    if (!playbin || !videoSink || !textSink) {
        for (GstElement *element : {playbin, videoSink, textSink, audioSink}) {
            if (element)
                gst_object_unref(gst_object_ref_sink(element));
        }
        return nullptr;
    }
    gst_object_ref_sink(playbin);
    // playbin takes the sinks' floating references.
    g_object_set(playbin,
                 "flags",
                 kPlayAudioOnly,
                 "video-sink",
                 videoSink,
                 "text-sink",
                 textSink,
                 nullptr);
    if (audioSink)
        g_object_set(playbin, "audio-sink", audioSink, nullptr);
    g_signal_connect(playbin, "deep-element-added", G_CALLBACK(watchDecodebin), nullptr);
    return playbin;
}

std::optional<QByteArray> soundFileUri(const QString &pathText)
{
    const QFileInfo file(openablePath(pathText));
    if (pathText.isEmpty() || !file.exists() || notAReadableFile(file.filePath()))
        return std::nullopt;
    return QUrl::fromLocalFile(file.absoluteFilePath()).toEncoded();
}
