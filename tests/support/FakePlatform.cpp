#include "FakePlatform.h"

#include <utility>

void FakeMessageBoxService::show(const QString &text, MessageIcon icon, QWidget *window)
{
    shown.push_back({text, icon, window});
    if (onShow)
        onShow(shown.back());
}

std::optional<QString> FakeFileChooser::chooseFile(const FileDialogRequest &request)
{
    requests.push_back(request);
    if (answers.empty())
        return std::nullopt;
    const bool cancelled = !answers.front().has_value();
    const QString chosen = answers.front().value_or(QString());
    answers.pop_front();
    if (cancelled)
        return std::nullopt;
    return chosen;
}

void FakeMediaPlayer::setFileName(const QString &pathText)
{
    fileNamesGiven << pathText;
    if (std::exchange(m_wentOn, false) && pathText == fileName())
        return;
    setCurrentFileName(pathText);
    queued.clear();
    m_position = 0;
    emit fileNameChanged(pathText);
    setPlaying(autoStart());
}

void FakeMediaPlayer::checkPlayable(const QString &pathText)
{
    checksAsked << pathText;
    checksPending << pathText;
    if (!holdChecks)
        answerChecks();
}

void FakeMediaPlayer::answerChecks(int answers)
{
    for (; answers > 0 && !checksPending.isEmpty(); --answers) {
        const QString file = checksPending.takeFirst();
        emit playableChecked(file, !unplayable.contains(file));
    }
}

void FakeMediaPlayer::play()
{
    ++playCalls;
    setPlaying(true);
}

void FakeMediaPlayer::pause()
{
    setPlaying(false);
}

void FakeMediaPlayer::stop()
{
    queued.clear();
    m_position = 0;
    setPlaying(false);
}

void FakeMediaPlayer::finishFile()
{
    m_position = duration();
    setPlaying(false);
    emit endOfStream(8);
}

void FakeMediaPlayer::endWithoutPlaying()
{
    m_position = 0;
    setPlaying(false);
    emit endOfStream(8);
}

void FakeMediaPlayer::goOnWithQueued()
{
    setCurrentFileName(queued.takeFirst());
    m_wentOn = true;
    emit endOfStream(8);
}

void FakeMediaPlayer::failFile()
{
    setPlaying(false);
    emit failed(QStringLiteral("cannot play %1").arg(fileName()));
}

void FakeEventPump::letEventsRun()
{
    ++calls;
    if (onLetEventsRun)
        onLetEventsRun(calls);
}

PlatformServices FakePlatform::services()
{
    const MediaPlayerFactory createPlayer = [this](QObject *parent) -> MediaPlayer * {
        auto *player = new FakeMediaPlayer(parent);
        mediaPlayers << player;
        return player;
    };
    return {&messages, &files, &pictures, &events, createPlayer, createPlayer};
}
