#pragma once

#include "sound/MediaPlayer.h"

#include <memory>

class MusicFileCheck;
using GstElement = struct _GstElement;

// The show's music on GStreamer's playbin. The queued file is handed to playbin when the current
// one is about to finish, so the next file (or the same one again) follows without a gap.
// GStreamer is started only when the first file is given or checked: a show without music never
// loads it. Audio only: a video file among the music is heard, not seen.
class GstMusicPlayer final : public MediaPlayer
{
    Q_OBJECT

public:
    explicit GstMusicPlayer(QObject *parent = nullptr);
    ~GstMusicPlayer() override;

    void setVolume(int hundredthsOfDecibel) override;
    void setFileName(const QString &pathText) override;
    bool queueNext(const QString &pathText) override;
    [[nodiscard]] int queuedCount() const override { return m_queuedCount; }
    void checkPlayable(const QString &pathText) override;

    void play() override;
    void pause() override;
    void stop() override;
    void setPosition(qint64 milliseconds) override;
    [[nodiscard]] qint64 position() const override;
    [[nodiscard]] qint64 duration() const override;

    // What GStreamer's threads share with this object; defined in the source file.
    struct Relay;

private:
    bool createPipeline();
    void beginNewRun();
    void handOver(quint64 run, const QString &pathText);
    void finish(quint64 run);
    void fail(quint64 run, const QString &description, const QString &handedOverPath);

    std::unique_ptr<Relay> m_relay;
    GstElement *m_playbin = nullptr;
    MusicFileCheck *m_check = nullptr; // made with the first check
    double m_volume = 1.0;
    quint64 m_run = 0;
    int m_queuedCount = 0; // queued files not yet reported as begun
    bool m_handedOver = false;
    bool m_failedInRun = false; // playbin has reported an error since it last started a file
};
