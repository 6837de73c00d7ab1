#include "player/AudioPlaylist.h"

#include "platform/MediaPlayer.h"

AudioPlaylist::AudioPlaylist(MediaPlayer &player, FileForPath fileFor, QObject *parent)
    : QObject(parent)
    , m_player(player)
    , m_fileFor(std::move(fileFor))
{
    connect(&m_player, &MediaPlayer::endOfStream, this, [this] {
        m_failuresInARow = 0;
        AdvanceAudio();
    });
    connect(&m_player, &MediaPlayer::failed, this, &AudioPlaylist::skipUnplayable);
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
    m_failuresInARow = 0;
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
    m_player.setFileName(fileFor(m_paths.at(m_position)));
    for (int ahead = m_player.queuedCount(); ahead < kEntriesQueuedAhead; ++ahead) {
        if (!m_player.queueNext(fileFor(m_paths.at((m_position + 1 + ahead) % m_paths.size()))))
            break;
    }
}

// The player reports an unplayable file from the event loop, never from inside setFileName, so
// moving on here cannot recurse.
void AudioPlaylist::skipUnplayable()
{
    if (!m_playing)
        return;
    ++m_failuresInARow;
    if (m_failuresInARow >= m_paths.size()) {
        m_playing = false;
        return;
    }
    AdvanceAudio();
}
