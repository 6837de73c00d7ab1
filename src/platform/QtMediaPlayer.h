#pragma once

#include "platform/MediaPlayer.h"

#include <QUrl>

class QAudioOutput;
class QMediaPlayer;

// The media player on QMediaPlayer (GStreamer on Linux).
class QtMediaPlayer final : public MediaPlayer
{
    Q_OBJECT

public:
    explicit QtMediaPlayer(QObject *parent = nullptr);
    ~QtMediaPlayer() override;

    void setAutoStart(bool autoStart) override;
    void setVolume(int hundredthsOfDecibel) override;
    void setFileName(const QString &pathText) override;
    [[nodiscard]] QString fileName() const override { return m_fileName; }

    void play() override;
    void pause() override;
    void stop() override;
    void setPosition(qint64 milliseconds) override;
    [[nodiscard]] qint64 position() const override;
    [[nodiscard]] qint64 duration() const override;
    [[nodiscard]] bool isPlaying() const override;

private:
    void reportFailure(const QString &description);

    QMediaPlayer *m_player;
    QAudioOutput *m_output;
    QString m_fileName;
    QUrl m_source; // what the player was given for the file, if it could be opened
    bool m_autoStart = false;
    bool m_endReported = false;
    bool m_failureReported = false;
    quint64 m_fileGeneration = 0;
};
