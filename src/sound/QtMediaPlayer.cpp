#include "sound/QtMediaPlayer.h"

#include "platform/NativePath.h"
#include "platform/RegularFile.h"

#include <QAudioOutput>
#include <QFileInfo>
#include <QMediaPlayer>
#include <QUrl>

QtMediaPlayer::QtMediaPlayer(QObject *parent)
    : MediaPlayer(parent)
    , m_player(new QMediaPlayer(this))
    , m_output(new QAudioOutput(this))
{
    m_player->setAudioOutput(m_output);
    connect(m_player,
            &QMediaPlayer::mediaStatusChanged,
            this,
            [this](QMediaPlayer::MediaStatus status) {
                if (status == QMediaPlayer::EndOfMedia && !m_endReported) {
                    m_endReported = true;
                    emit endOfStream(0);
                }
                if (status == QMediaPlayer::InvalidMedia)
                    reportFailure(m_player->errorString());
                // A video without a sound track plays nothing here: there is no picture area.
                // Stopping the file before reports it loaded too, so only the current one counts.
                if (status == QMediaPlayer::LoadedMedia && !m_player->hasAudio()
                    && !m_source.isEmpty() && m_player->source() == m_source) {
                    m_player->stop();
                    reportFailure(QStringLiteral("No sound in \"%1\"").arg(fileName()));
                }
            });
    connect(m_player,
            &QMediaPlayer::errorOccurred,
            this,
            [this](QMediaPlayer::Error, const QString &text) { reportFailure(text); });
    connect(m_player, &QMediaPlayer::positionChanged, this, &MediaPlayer::positionChanged);
    connect(m_player, &QMediaPlayer::durationChanged, this, &MediaPlayer::durationChanged);
    connect(m_player,
            &QMediaPlayer::playbackStateChanged,
            this,
            [this](QMediaPlayer::PlaybackState state) {
                setPlaying(state == QMediaPlayer::PlayingState);
            });
}

QtMediaPlayer::~QtMediaPlayer()
{
    m_player->stop();
}

void QtMediaPlayer::setVolume(int hundredthsOfDecibel)
{
    m_output->setVolume(linearVolumeFromHundredthsOfDecibel(hundredthsOfDecibel));
}

void QtMediaPlayer::setFileName(const QString &pathText)
{
    setCurrentFileName(pathText);
    beginFailureScope();
    m_source.clear();
    m_endReported = false;
    m_player->stop();
    emit fileNameChanged(pathText);
    const QString path = openablePath(pathText);
    // Only regular files: a pipe or a device would hang the pipeline or never end.
    if (path.isEmpty() || !QFileInfo::exists(path) || notAReadableFile(path)) {
        m_player->setSource(QUrl());
        reportFailure(QStringLiteral("Cannot open \"%1\"").arg(pathText));
        return;
    }
    m_source = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
    m_player->setSource(m_source);
    if (autoStart())
        m_player->play();
}

void QtMediaPlayer::play()
{
    m_endReported = false;
    m_player->play();
}

void QtMediaPlayer::pause()
{
    m_player->pause();
}

void QtMediaPlayer::stop()
{
    m_player->stop();
}

void QtMediaPlayer::setPosition(qint64 milliseconds)
{
    m_player->setPosition(milliseconds);
}

qint64 QtMediaPlayer::position() const
{
    return m_player->position();
}

qint64 QtMediaPlayer::duration() const
{
    return m_player->duration();
}
