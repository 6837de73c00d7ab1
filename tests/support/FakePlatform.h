#pragma once

#include "picture/PictureLoader.h"
#include "platform/CommonDialog.h"
#include "platform/EventPump.h"
#include "platform/MessageBoxService.h"
#include "platform/PlatformServices.h"
#include "sound/MediaPlayer.h"

#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <climits>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

// Records every message box instead of showing it. onShow runs while the "box" is up, as the
// user's other windows would while a real modal box waits.
class FakeMessageBoxService final : public MessageBoxService
{
public:
    struct Shown
    {
        QString text;
        MessageIcon icon;
        QWidget *window; // the window the box belongs to, if any
    };

    void show(const QString &text, MessageIcon icon, QWidget *window = nullptr) override;

    std::vector<Shown> shown;
    std::function<void(const Shown &)> onShow;
};

// Answers file dialogs from a script: each answer is a chosen path, or nothing for a cancel.
// With no scripted answer left, the dialog is cancelled.
class FakeFileChooser final : public FileChooser
{
public:
    std::optional<QString> chooseFile(const FileDialogRequest &request) override;

    std::deque<std::optional<QString>> answers;
    std::vector<FileDialogRequest> requests;
};

// A media player that plays nothing: tests read what it was told and end files by hand.
class FakeMediaPlayer final : public MediaPlayer
{
    Q_OBJECT

public:
    using MediaPlayer::MediaPlayer;

    void setVolume(int hundredthsOfDecibel) override { volume = hundredthsOfDecibel; }
    void setFileName(const QString &pathText) override;
    // Takes the queue, to show what was queued, but never hands over.
    bool queueNext(const QString &pathText) override
    {
        queued << pathText;
        return true;
    }
    [[nodiscard]] int queuedCount() const override { return static_cast<int>(queued.size()); }
    // Answers at once, or when answerChecks is called while holdChecks is set: up to the given
    // number of questions, those asked meanwhile included.
    void checkPlayable(const QString &pathText) override;
    void answerChecks(int answers = INT_MAX);
    void play() override;
    void pause() override;
    void stop() override;
    void setPosition(qint64 milliseconds) override { m_position = milliseconds; }
    [[nodiscard]] qint64 position() const override { return m_position; }
    [[nodiscard]] qint64 duration() const override { return 1000; }

    // The current file has played to its end.
    void finishFile();
    // The current file ends at once without playing anything, as an empty one does.
    void endWithoutPlaying();
    // The current file cannot be played.
    void failFile();
    // Goes on with the first queued file without a gap, reporting the end of the one before; the
    // next setFileName of that file then goes on with it, as the show's player does.
    void goOnWithQueued();

    int volume = 0;
    QStringList fileNamesGiven;
    QStringList queued;     // the files to go on with, since the last file given
    QStringList unplayable; // the files whose check says they cannot be played
    QStringList checksAsked;
    QStringList checksPending;
    bool holdChecks = false;
    int playCalls = 0;

private:
    qint64 m_position = 0;
    bool m_wentOn = false;
};

// Counts the points at which an operation lets events run, and can run a nested command there.
class FakeEventPump final : public EventPump
{
public:
    void letEventsRun() override;

    int calls = 0;
    std::function<void(int call)> onLetEventsRun;
};

// Fakes for everything but picture decoding, which stays real.
class FakePlatform
{
public:
    [[nodiscard]] PlatformServices services();

    FakeMessageBoxService messages;
    FakeFileChooser files;
    ImageReaderPictureLoader pictures;
    FakeEventPump events;
    QList<QPointer<FakeMediaPlayer>> mediaPlayers; // every player a window created, in order
};
