#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class MediaPlayer;

// The show's background music: plays List3 one file after another through the media player,
// from the first again after the last, independent of the pictures. A file that cannot be played,
// or that ends without playing anything (an empty one), is skipped; after a whole round, and at
// least two files in a row, in which nothing played it stops trying.
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
    // A file that ends sooner after it began, without reaching a position, has played nothing.
    static constexpr qint64 kEndsAtOnceMs = 100;

    void playSelected();
    [[nodiscard]] QString fileFor(const QString &path) const;
    void fileEnded();
    void skipUnplayable();

    MediaPlayer &m_player;
    FileForPath m_fileFor;
    QStringList m_paths;
    int m_position = -1;
    int m_unplayedInARow = 0;       // files in a row that could not be played or played nothing
    bool m_positionReached = false; // the current file has played a little at least
    QElapsedTimer m_playingFor;     // since the current file was given
    bool m_playing = false;
};
