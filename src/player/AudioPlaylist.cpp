#include "player/AudioPlaylist.h"

#include "platform/MediaPlayer.h"

#include <algorithm>

AudioPlaylist::AudioPlaylist(MediaPlayer &player, FileForPath fileFor, QObject *parent)
    : QObject(parent)
    , m_player(player)
    , m_fileFor(std::move(fileFor))
{
    connect(&m_player, &MediaPlayer::endOfStream, this, &AudioPlaylist::fileEnded);
    connect(&m_player, &MediaPlayer::failed, this, &AudioPlaylist::skipUnplayable);
    connect(&m_player, &MediaPlayer::positionChanged, this, [this](qint64 milliseconds) {
        if (milliseconds > 0)
            m_positionReached = true;
    });
}

void AudioPlaylist::appendPath(const QString &path)
{
    m_paths.append(path);
}

void AudioPlaylist::start(bool audioOn)
{
    if (m_paths.isEmpty())
        return;
    m_position = 0;
    m_unplayedInARow = 0;
    m_playing = audioOn;
    if (m_playing)
        playSelected();
}

void AudioPlaylist::AdvanceAudio()
{
    if (!m_playing || m_paths.isEmpty())
        return;
    m_position = m_position + 1 >= m_paths.size() ? 0 : m_position + 1;
    playSelected();
}

void AudioPlaylist::stop()
{
    if (!m_playing)
        return;
    m_playing = false;
    m_player.stop();
}

QString AudioPlaylist::fileFor(const QString &path) const
{
    return m_fileFor ? m_fileFor(path) : path;
}

// A player that can go on without a gap gets the entries after the selected one in advance, a
// few of them, as a short file may have been read to its end before this thread hears that the
// one before it has ended.
void AudioPlaylist::playSelected()
{
    constexpr int kEntriesQueuedAhead = 3;
    m_positionReached = false;
    m_playingFor.start();
    m_player.setFileName(fileFor(m_paths.at(m_position)));
    for (int ahead = m_player.queuedCount(); ahead < kEntriesQueuedAhead; ++ahead) {
        if (!m_player.queueNext(fileFor(m_paths.at((m_position + 1 + ahead) % m_paths.size()))))
            break;
    }
}

// A zero-length or zero-duration file ends at once, without the player reaching a position in it.
// Going on as after a played file would open it again and again without end and keep the player
// busy. A file has played when the player reached a position in it, or when it ran for longer
// than a player needs to open and end an empty file (a player that goes on without a gap reports
// positions of the next file only).
void AudioPlaylist::fileEnded()
{
    const bool played = m_positionReached || m_player.position() > 0
                        || m_playingFor.elapsed() >= kEndsAtOnceMs;
    if (!played) {
        skipUnplayable();
        return;
    }
    m_unplayedInARow = 0;
    AdvanceAudio();
}

// The player reports an unplayable file from the event loop, never from inside setFileName, so
// moving on here cannot recurse. The music stops once a whole round, and at least the same file
// twice, has played nothing; the pictures go on.
void AudioPlaylist::skipUnplayable()
{
    if (!m_playing)
        return;
    ++m_unplayedInARow;
    if (m_unplayedInARow >= std::max<qsizetype>(m_paths.size(), 2)) {
        m_playing = false;
        m_player.stop(); // and forget what was queued
        return;
    }
    AdvanceAudio();
}
