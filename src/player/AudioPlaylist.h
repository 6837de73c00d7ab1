#pragma once

#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>

class MediaPlayer;

// The show's background music: plays List3 one file after another through the media player,
// from the first again after the last, independent of the pictures. Each file is checked before
// it is played or queued, so the player goes on without a gap from one playable file to the next;
// a file that cannot be played, or that ends without playing anything (an empty one), is passed
// over from then on. When no file of the list can be played the show goes on silent.
class AudioPlaylist final : public QObject
{
    Q_OBJECT

public:
    // Turns a path text of the list into the file to play; none plays the text as it is.
    using FileForPath = std::function<QString(const QString &pathText)>;

    explicit AudioPlaylist(MediaPlayer &player, FileForPath fileFor = {}, QObject *parent = nullptr);

    void appendPath(const QString &path);
    [[nodiscard]] const QStringList &List3() const { return m_paths; }
    // The selected entry of List3; -1 (none) until start() selects the first of a non-empty list.
    [[nodiscard]] int AudioPosition() const { return m_position; }

    // Selects the first entry and, with audio on, starts playing it. Nothing is reported.
    void start(bool audioOn);
    // The end-of-stream handler: the next file, or the first after the last.
    void AdvanceAudio();
    // Silences the music for good.
    void stop();

private:
    enum class Verdict { Unknown, Checking, Playable, Unplayable };

    // A file that ends sooner after it began, without reaching a position, has played nothing.
    static constexpr qint64 kEndsAtOnceMs = 100;
    // How long a file waits for the check of the one to follow it before it starts all the same.
    static constexpr int kLongestWaitForNextMs = 300;

    void selectAndPlay();
    void playSelected();
    [[nodiscard]] bool followerIsKnown();
    void queueAhead();
    [[nodiscard]] Verdict verdictOf(const QString &file);
    void recordCheck(const QString &file, bool playable);
    void fileEnded();
    void fileFailed();
    [[nodiscard]] bool currentFileHasPlayed() const;
    [[nodiscard]] QString fileAt(int position) const;
    [[nodiscard]] int nextPosition(int position) const;

    MediaPlayer &m_player;
    FileForPath m_fileFor;
    QStringList m_paths;
    QHash<QString, Verdict> m_verdicts; // by file, so an entry listed twice is checked once
    int m_position = -1;
    bool m_positionReached = false; // the current file has played a little at least
    QElapsedTimer m_playingFor;     // since the current file was given
    bool m_playing = false;
    bool m_waitingForCheck = false; // the selected entry waits for a check; nothing was given
    QTimer m_waitForNext;           // running while the selected entry waits for its follower
    bool m_asking = false;          // inside a check, whose answer may come from inside the call
};
