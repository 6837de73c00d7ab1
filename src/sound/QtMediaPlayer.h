#pragma once

#include "sound/MediaPlayer.h"

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

    void setVolume(int hundredthsOfDecibel) override;
    void setFileName(const QString &pathText) override;

    void play() override;
    void pause() override;
    void stop() override;
    void setPosition(qint64 milliseconds) override;
    [[nodiscard]] qint64 position() const override;
    [[nodiscard]] qint64 duration() const override;

private:
    QMediaPlayer *m_player;
    QAudioOutput *m_output;
    QUrl m_source; // what the player was given for the file, if it could be opened
    bool m_endReported = false;
};
