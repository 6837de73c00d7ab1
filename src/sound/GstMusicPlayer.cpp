#include "sound/GstMusicPlayer.h"

#include "sound/MusicFileCheck.h"
#include "sound/SoundOnlyPlaybin.h"

#include <gst/gst.h>

#include <deque>
#include <mutex>

// Shared with GStreamer's streaming threads, which must not touch the QObject: they read the
// queued file and post what happened to the player's thread, tagged with the run it belongs to.
struct GstMusicPlayer::Relay
{
    std::mutex mutex;
    GstMusicPlayer *player = nullptr; // cleared before the player goes away
    quint64 run = 0;                  // changes whenever playback is restarted or stopped
    struct Queued
    {
        QByteArray uri;
        QString pathText;
    };
    std::deque<Queued> queue;
    std::deque<QString> handedOver; // given to playbin, not yet begun to sound, in order

    static void aboutToFinish(GstElement *playbin, gpointer data);
    static GstBusSyncReply busMessage(GstBus *bus, GstMessage *message, gpointer data);
};

// Runs on a streaming thread once the current file has been read to its end, while its last part
// still plays. It must not wait for the player's thread: the sound output is fed by this thread.
void GstMusicPlayer::Relay::aboutToFinish(GstElement *playbin, gpointer data)
{
    auto *relay = static_cast<Relay *>(data);
    const std::lock_guard lock(relay->mutex);
    if (relay->queue.empty())
        return; // playbin ends with an end of stream, and the playlist starts the next file
    g_object_set(playbin, "uri", relay->queue.front().uri.constData(), nullptr);
    relay->handedOver.push_back(relay->queue.front().pathText);
    relay->queue.pop_front();
}

GstBusSyncReply GstMusicPlayer::Relay::busMessage(GstBus *, GstMessage *message, gpointer data)
{
    auto *relay = static_cast<Relay *>(data);
    const GstMessageType type = GST_MESSAGE_TYPE(message);
    if (type != GST_MESSAGE_STREAM_START && type != GST_MESSAGE_EOS && type != GST_MESSAGE_ERROR)
        return GST_BUS_DROP;

    QString description;
    if (type == GST_MESSAGE_ERROR) {
        GError *error = nullptr;
        gst_message_parse_error(message, &error, nullptr);
        description = QString::fromUtf8(error ? error->message : "playback failed");
        g_clear_error(&error);
    }

    const std::lock_guard lock(relay->mutex);
    GstMusicPlayer *player = relay->player;
    if (!player)
        return GST_BUS_DROP;
    const quint64 run = relay->run;
    // The queued file has reached the sound output: the one before it has played to its end.
    QString handedOver;
    if (!relay->handedOver.empty() && type != GST_MESSAGE_EOS) {
        handedOver = relay->handedOver.front();
        relay->handedOver.pop_front();
    }
    if (type == GST_MESSAGE_STREAM_START) {
        if (!handedOver.isEmpty()) {
            QMetaObject::invokeMethod(player, [player, run, handedOver] {
                player->handOver(run, handedOver);
            });
        }
    } else if (type == GST_MESSAGE_EOS) {
        QMetaObject::invokeMethod(player, [player, run] { player->finish(run); });
    } else {
        QMetaObject::invokeMethod(player, [player, run, description, handedOver] {
            player->fail(run, description, handedOver);
        });
    }
    return GST_BUS_DROP;
}

GstMusicPlayer::GstMusicPlayer(QObject *parent)
    : MediaPlayer(parent)
    , m_relay(std::make_unique<Relay>())
{
    m_relay->player = this;
}

GstMusicPlayer::~GstMusicPlayer()
{
    {
        const std::lock_guard lock(m_relay->mutex);
        m_relay->player = nullptr;
        ++m_relay->run;
    }
    if (!m_playbin)
        return;
    // Stopping joins GStreamer's threads, so none of them uses the relay afterwards.
    gst_element_set_state(m_playbin, GST_STATE_NULL);
    GstBus *bus = gst_element_get_bus(m_playbin);
    gst_bus_set_sync_handler(bus, nullptr, nullptr, nullptr);
    gst_object_unref(bus);
    gst_object_unref(m_playbin);
}

bool GstMusicPlayer::createPipeline()
{
    if (m_playbin)
        return true;
    m_playbin = makeSoundOnlyPlaybin("music");
    if (!m_playbin)
        return false;
    g_object_set(m_playbin, "volume", m_volume, nullptr);
    g_signal_connect(m_playbin, "about-to-finish", G_CALLBACK(Relay::aboutToFinish), m_relay.get());
    GstBus *bus = gst_element_get_bus(m_playbin);
    gst_bus_set_sync_handler(bus, &Relay::busMessage, m_relay.get(), nullptr);
    gst_object_unref(bus);
    return true;
}

void GstMusicPlayer::setVolume(int hundredthsOfDecibel)
{
    m_volume = linearVolumeFromHundredthsOfDecibel(hundredthsOfDecibel);
    if (m_playbin)
        g_object_set(m_playbin, "volume", m_volume, nullptr);
}

// Stops what plays and forgets the queue; reports still on their way to this thread belong to
// the old run and are dropped. After a failure only a full stop lets playbin open another file:
// from READY it fails the next file as well.
void GstMusicPlayer::beginNewRun()
{
    if (m_playbin)
        gst_element_set_state(m_playbin, m_failedInRun ? GST_STATE_NULL : GST_STATE_READY);
    m_failedInRun = false;
    {
        const std::lock_guard lock(m_relay->mutex);
        m_run = ++m_relay->run;
        m_relay->queue.clear();
        m_relay->handedOver.clear();
    }
    m_queuedCount = 0;
    m_handedOver = false;
    beginFailureScope();
}

void GstMusicPlayer::setFileName(const QString &pathText)
{
    // The file the player has already gone on with, as the playlist names it after the end.
    if (m_handedOver && pathText == fileName()) {
        m_handedOver = false;
        return;
    }
    setCurrentFileName(pathText);
    beginNewRun();
    emit fileNameChanged(pathText);
    const std::optional<QByteArray> uri = soundFileUri(pathText);
    if (!uri) {
        setPlaying(false);
        reportFailure(QStringLiteral("Cannot open \"%1\"").arg(pathText));
        return;
    }
    if (!createPipeline()) {
        setPlaying(false);
        reportFailure(QStringLiteral("GStreamer is not available"));
        return;
    }
    g_object_set(m_playbin, "uri", uri->constData(), nullptr);
    gst_element_set_state(m_playbin, autoStart() ? GST_STATE_PLAYING : GST_STATE_PAUSED);
    setPlaying(autoStart());
}

bool GstMusicPlayer::queueNext(const QString &pathText)
{
    const std::optional<QByteArray> uri = soundFileUri(pathText);
    if (!uri || !m_playbin)
        return false;
    const std::lock_guard lock(m_relay->mutex);
    m_relay->queue.push_back({*uri, pathText});
    ++m_queuedCount;
    return true;
}

void GstMusicPlayer::checkPlayable(const QString &pathText)
{
    if (!m_check) {
        m_check = new MusicFileCheck(this);
        connect(m_check, &MusicFileCheck::checked, this, &MediaPlayer::playableChecked);
    }
    m_check->check(pathText);
}

void GstMusicPlayer::handOver(quint64 run, const QString &pathText)
{
    if (run != m_run)
        return;
    setCurrentFileName(pathText);
    m_handedOver = true;
    --m_queuedCount;
    emit endOfStream(0);
}

void GstMusicPlayer::finish(quint64 run)
{
    if (run != m_run)
        return;
    beginNewRun();
    setPlaying(false);
    emit endOfStream(0);
}

// A queued file that fails right after the hand-over: the file before it has ended all the same.
void GstMusicPlayer::fail(quint64 run, const QString &description, const QString &handedOverPath)
{
    if (run != m_run)
        return;
    m_failedInRun = true;
    if (!handedOverPath.isEmpty())
        handOver(run, handedOverPath);
    if (run != m_run)
        return; // the end's handler has moved on to another file
    beginNewRun();
    setPlaying(false);
    reportFailure(description);
}

void GstMusicPlayer::play()
{
    if (!m_playbin || fileName().isEmpty())
        return;
    gst_element_set_state(m_playbin, GST_STATE_PLAYING);
    setPlaying(true);
}

void GstMusicPlayer::pause()
{
    if (!m_playbin)
        return;
    gst_element_set_state(m_playbin, GST_STATE_PAUSED);
    setPlaying(false);
}

void GstMusicPlayer::stop()
{
    beginNewRun();
    setPlaying(false);
}

void GstMusicPlayer::setPosition(qint64 milliseconds)
{
    if (m_playbin) {
        gst_element_seek_simple(m_playbin,
                                GST_FORMAT_TIME,
                                GstSeekFlags(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_KEY_UNIT),
                                milliseconds * GST_MSECOND);
    }
}

qint64 GstMusicPlayer::position() const
{
    gint64 nanoseconds = 0;
    if (!m_playbin || !gst_element_query_position(m_playbin, GST_FORMAT_TIME, &nanoseconds))
        return 0;
    return nanoseconds / GST_MSECOND;
}

qint64 GstMusicPlayer::duration() const
{
    gint64 nanoseconds = 0;
    if (!m_playbin || !gst_element_query_duration(m_playbin, GST_FORMAT_TIME, &nanoseconds))
        return 0;
    return nanoseconds / GST_MSECOND;
}
