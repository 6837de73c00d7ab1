#include "sound/MusicFileCheck.h"

#include "sound/SoundOnlyPlaybin.h"

#include <QThreadPool>

#include <gst/gst.h>

namespace {

// Long enough for a soundfont to load for a MIDI file, or a slow disc to spin up.
constexpr GstClockTime kLongestCheck = 10 * GST_SECOND;
constexpr GstClockTime kCancelCheckEvery = 50 * GST_MSECOND;

// Whether the file prerolls and its first sound reaches a silent sink.
bool prerollsSound(const QByteArray &uri, const std::atomic_bool &cancelled)
{
    GstElement *sink = startGStreamer() ? gst_element_factory_make("fakesink", nullptr) : nullptr;
    if (!sink)
        return false;
    gst_object_ref_sink(sink);
    g_object_set(sink, "sync", FALSE, nullptr);
    GstElement *playbin = makeSoundOnlyPlaybin("music-check", sink);
    if (!playbin) {
        gst_object_unref(sink);
        return false;
    }
    g_object_set(playbin, "uri", uri.constData(), nullptr);
    GstBus *bus = gst_element_get_bus(playbin);
    bool prerolled = false;
    if (gst_element_set_state(playbin, GST_STATE_PAUSED) != GST_STATE_CHANGE_FAILURE) {
        for (GstClockTime waited = 0; waited < kLongestCheck && !cancelled;
             waited += kCancelCheckEvery) {
            GstMessage *message = gst_bus_timed_pop_filtered(bus,
                                                             kCancelCheckEvery,
                                                             GstMessageType(GST_MESSAGE_ASYNC_DONE
                                                                            | GST_MESSAGE_ERROR
                                                                            | GST_MESSAGE_EOS));
            if (!message)
                continue;
            prerolled = GST_MESSAGE_TYPE(message) == GST_MESSAGE_ASYNC_DONE;
            gst_message_unref(message);
            break;
        }
    }
    // A stream that ends before its first sound (an empty track) prerolls without a sample.
    GstSample *firstSound = nullptr;
    if (prerolled)
        g_object_get(sink, "last-sample", &firstSound, nullptr);
    const bool playable = firstSound != nullptr;
    if (firstSound)
        gst_sample_unref(firstSound);
    gst_element_set_state(playbin, GST_STATE_NULL);
    gst_object_unref(bus);
    gst_object_unref(playbin);
    gst_object_unref(sink);
    return playable;
}

} // namespace

MusicFileCheck::MusicFileCheck(QObject *parent)
    : QObject(parent)
    , m_cancelled(std::make_shared<std::atomic_bool>(false))
    , m_pool(std::make_unique<QThreadPool>())
{
    m_pool->setMaxThreadCount(1);
}

MusicFileCheck::~MusicFileCheck()
{
    *m_cancelled = true;
    m_pool->waitForDone();
}

void MusicFileCheck::check(const QString &pathText)
{
    m_pool->start([this, pathText, cancelled = m_cancelled] {
        const std::optional<QByteArray> uri = soundFileUri(pathText);
        const bool playable = uri && prerollsSound(*uri, *cancelled);
        // Posted to this object's thread; dropped there if this object is gone by then.
        QMetaObject::invokeMethod(
            this,
            [this, pathText, playable] { emit checked(pathText, playable); },
            Qt::QueuedConnection);
    });
}
