#pragma once

#include <QObject>
#include <QString>

// -600 hundredths of a decibel (-6 dB) is a linear volume of about one half.
[[nodiscard]] float linearVolumeFromHundredthsOfDecibel(int hundredths);

// Both programs play at about half volume: the show's music and the editor's preview alike.
inline constexpr int kPlaybackVolume = -600;

// The media player component (MP1): plays one file given by name, either at once or when the
// user presses play, and tells when the file has played to its end.
class MediaPlayer : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // With auto start on, giving a file name starts playback at once.
    void setAutoStart(bool autoStart) { m_autoStart = autoStart; }
    [[nodiscard]] bool autoStart() const { return m_autoStart; }
    virtual void setVolume(int hundredthsOfDecibel) = 0;
    // The path text as stored in a list; relative paths resolve against the current directory.
    virtual void setFileName(const QString &pathText) = 0;
    [[nodiscard]] QString fileName() const { return m_fileName; }

    // Gapless playback: queueNext appends a file to go on with after the current one. A player
    // that can hand over without a gap takes the queued files one by one, each the moment the
    // file before it ends, and reports every end with endOfStream as usual; fileName() then
    // names the file already playing, and giving that same name to setFileName goes on with it.
    // setFileName of any other file, and stop, drop the queue. False from a player that cannot
    // hand over: its caller gives each next file by setFileName when the last one has ended.
    virtual bool queueNext(const QString &pathText)
    {
        Q_UNUSED(pathText);
        return false;
    }
    // The queued files that will follow the one playing.
    [[nodiscard]] virtual int queuedCount() const { return 0; }

    // Finds out, without playing it, whether a file holds sound that this player can play; the
    // answer comes as playableChecked with the same path text, later or from inside the call. A
    // player that cannot tell takes every file for playable.
    virtual void checkPlayable(const QString &pathText) { emit playableChecked(pathText, true); }

    virtual void play() = 0;
    virtual void pause() = 0;
    virtual void stop() = 0;
    virtual void setPosition(qint64 milliseconds) = 0;
    [[nodiscard]] virtual qint64 position() const = 0;
    [[nodiscard]] virtual qint64 duration() const = 0;
    [[nodiscard]] bool isPlaying() const { return m_playing; }

    // For the programs' services, which make their players.
    template<typename Player>
    [[nodiscard]] static MediaPlayer *create(QObject *parent)
    {
        return new Player(parent);
    }

signals:
    // Raised once for each file that has played to its end; the argument carries no meaning.
    void endOfStream(int result);
    // The file given could not be opened or played.
    void failed(const QString &description);
    void playableChecked(const QString &pathText, bool playable);
    // A file was given by setFileName, whether it can be opened or not.
    void fileNameChanged(const QString &pathText);
    void positionChanged(qint64 milliseconds);
    void durationChanged(qint64 milliseconds);
    void playingChanged(bool playing);

protected:
    // The file given or gone on with; a new file given also starts a new failure scope.
    void setCurrentFileName(const QString &pathText) { m_fileName = pathText; }
    // Emits playingChanged when it changes.
    void setPlaying(bool playing);
    // Failures reported before this are dropped on their way, and the next is reported again.
    void beginFailureScope();
    // Emits failed from the event loop, never from inside the call that found it, so a handler
    // that moves on to the next file cannot recurse; once per scope.
    void reportFailure(const QString &description);

private:
    QString m_fileName;
    quint64 m_failureScope = 0;
    bool m_failureReported = false;
    bool m_autoStart = false;
    bool m_playing = false;
};
