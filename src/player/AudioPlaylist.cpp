#include "player/AudioPlaylist.h"

#include "sound/MediaPlayer.h"

namespace {

// Queued a few entries ahead, as a short file may have been read to its end before this thread
// hears that the one before it has ended.
constexpr int kEntriesQueuedAhead = 3;

} // namespace

AudioPlaylist::AudioPlaylist(MediaPlayer &player, FileForPath fileFor, QObject *parent)
    : QObject(parent)
    , m_player(player)
    , m_fileFor(std::move(fileFor))
{
    connect(&m_player, &MediaPlayer::endOfStream, this, &AudioPlaylist::fileEnded);
    connect(&m_player, &MediaPlayer::failed, this, &AudioPlaylist::fileFailed);
    connect(&m_player, &MediaPlayer::playableChecked, this, &AudioPlaylist::recordCheck);
    connect(&m_player, &MediaPlayer::positionChanged, this, [this](qint64 milliseconds) {
        if (milliseconds > 0)
            m_positionReached = true;
    });
    m_waitForNext.setSingleShot(true);
    m_waitForNext.setInterval(kLongestWaitForNextMs);
    connect(&m_waitForNext, &QTimer::timeout, this, [this] {
        if (m_playing && m_waitingForCheck)
            playSelected();
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
    m_playing = audioOn;
    if (m_playing)
        selectAndPlay();
}

void AudioPlaylist::AdvanceAudio()
{
    if (!m_playing || m_paths.isEmpty())
        return;
    m_position = nextPosition(m_position);
    selectAndPlay();
}

void AudioPlaylist::stop()
{
    if (!m_playing)
        return;
    m_playing = false;
    m_waitingForCheck = false;
    m_waitForNext.stop();
    m_player.stop(); // and forget what was queued
}

QString AudioPlaylist::fileAt(int position) const
{
    const QString &path = m_paths.at(position);
    return m_fileFor ? m_fileFor(path) : path;
}

int AudioPlaylist::nextPosition(int position) const
{
    return position + 1 >= m_paths.size() ? 0 : position + 1;
}

void AudioPlaylist::selectAndPlay()
{
    m_waitForNext.start();
    playSelected();
}

// Plays the selected entry, or the first after it that can be played, once the file to follow it
// is known: a player that goes on without a gap asks for the next file as soon as it has read the
// current one, which for a short file is about at once. It waits for that only so long.
void AudioPlaylist::playSelected()
{
    m_waitingForCheck = false;
    for (qsizetype tried = 0; tried < m_paths.size(); ++tried) {
        const QString file = fileAt(m_position);
        switch (verdictOf(file)) {
        case Verdict::Playable:
            if (!followerIsKnown() && m_waitForNext.isActive()) {
                m_waitingForCheck = true;
                return;
            }
            m_waitForNext.stop();
            m_positionReached = false;
            m_playingFor.start();
            m_player.setFileName(file);
            queueAhead();
            return;
        case Verdict::Unplayable:
            m_position = nextPosition(m_position);
            break;
        case Verdict::Unknown:
        case Verdict::Checking:
            m_waitingForCheck = true; // goes on when the answer comes
            return;
        }
    }
    stop(); // no file of the list can be played
}

// Whether the playable entry after the selected one is known, or asked about; the selected one
// follows itself when no other can play.
bool AudioPlaylist::followerIsKnown()
{
    int position = m_position;
    for (qsizetype step = 0; step < m_paths.size(); ++step) {
        position = nextPosition(position);
        const Verdict verdict = verdictOf(fileAt(position));
        if (verdict == Verdict::Playable)
            return true;
        if (verdict != Verdict::Unplayable)
            return false;
    }
    return true;
}

// A player that can go on without a gap gets the next playable entries in advance; those it
// holds already are the first of them. Around the list as often as it takes: a single playable
// file follows itself.
void AudioPlaylist::queueAhead()
{
    const int alreadyQueued = m_player.queuedCount();
    int queued = 0;
    int position = m_position;
    for (qsizetype step = 0; step < m_paths.size() * kEntriesQueuedAhead; ++step) {
        if (queued == kEntriesQueuedAhead)
            return;
        position = nextPosition(position);
        const QString file = fileAt(position);
        const Verdict verdict = verdictOf(file);
        if (verdict == Verdict::Unplayable)
            continue;
        if (verdict != Verdict::Playable)
            return; // goes on when the answer comes
        if (queued++ < alreadyQueued)
            continue;
        if (!m_player.queueNext(file))
            return;
    }
}

// Asks the player about a file it has not been asked about; one question at a time reaches it,
// as each answer leads to the next.
AudioPlaylist::Verdict AudioPlaylist::verdictOf(const QString &file)
{
    const Verdict known = m_verdicts.value(file, Verdict::Unknown);
    if (known != Verdict::Unknown)
        return known;
    m_verdicts.insert(file, Verdict::Checking);
    m_asking = true;
    m_player.checkPlayable(file);
    m_asking = false;
    return m_verdicts.value(file);
}

void AudioPlaylist::recordCheck(const QString &file, bool playable)
{
    if (m_verdicts.value(file, Verdict::Unknown) != Verdict::Checking)
        return;
    m_verdicts.insert(file, playable ? Verdict::Playable : Verdict::Unplayable);
    if (m_asking || !m_playing)
        return;
    if (m_waitingForCheck)
        playSelected();
    else
        queueAhead();
}

// A file has played when the player reached a position in it, or when it ran for longer than a
// player needs to open and end an empty file (a player that goes on without a gap reports
// positions of the next file only).
bool AudioPlaylist::currentFileHasPlayed() const
{
    return m_positionReached || m_player.position() > 0 || m_playingFor.elapsed() >= kEndsAtOnceMs;
}

// A zero-length or zero-duration file ends at once, without the player reaching a position in it:
// it is passed over from then on, so that it is not opened again and again. A player that has
// gone on with the next file by itself has played this one; the reports of such hand-overs can
// come close together when this thread is busy.
void AudioPlaylist::fileEnded()
{
    if (!m_playing)
        return;
    if (!m_player.isPlaying() && !currentFileHasPlayed())
        m_verdicts.insert(fileAt(m_position), Verdict::Unplayable);
    AdvanceAudio();
}

// The player reports an unplayable file from the event loop, never from inside setFileName, so
// moving on here cannot recurse. A file that breaks off after playing a while is played again in
// the next round, up to where it breaks.
void AudioPlaylist::fileFailed()
{
    if (!m_playing)
        return;
    if (!currentFileHasPlayed())
        m_verdicts.insert(fileAt(m_position), Verdict::Unplayable);
    AdvanceAudio();
}
