#include "player/ImageSequence.h"

#include "player/ShowSettings.h"

#include <QTimer>

ImageSequence::ImageSequence(ShowPicture showPicture, QObject *parent)
    : QObject(parent)
    , m_showPicture(std::move(showPicture))
    , m_timer1(new QTimer(this))
    , m_timer2(new QTimer(this))
{
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setTimerType(Qt::PreciseTimer);
    m_timer2->setObjectName(QStringLiteral("Timer2"));
    m_timer2->setTimerType(Qt::PreciseTimer);
    m_timer2->setInterval(kStartDelayMs);
    connect(m_timer1, &QTimer::timeout, this, &ImageSequence::onTimer1);
    connect(m_timer2, &QTimer::timeout, this, &ImageSequence::onTimer2);
}

void ImageSequence::appendImage(const QString &path, const QString &pause)
{
    m_paths.append(path);
    m_pauses.append(pause);
}

void ImageSequence::start()
{
    m_position = 0;
    m_stopped = false;
    m_timer2->start();
}

void ImageSequence::stop()
{
    m_stopped = true;
    m_timer2->stop();
    setTimer1Enabled(false);
}

void ImageSequence::onTimer2()
{
    ShowNextImage();
    if (m_stopped)
        return;
    setTimer1Enabled(true);
    m_timer2->stop();
}

void ImageSequence::onTimer1()
{
    ShowNextImage();
}

void ImageSequence::ShowNextImage()
{
    if (m_stopped)
        return;
    if (m_position < 0 || m_position >= m_paths.size() || m_position >= m_pauses.size()) {
        fail();
        return;
    }
    // The pause is checked before the picture is decoded, so a pause the timer cannot count costs
    // no decoding and changes nothing on the screen.
    const std::optional<int> interval = timerIntervalForPause(m_pauses.at(m_position));
    if (!interval || !m_showPicture(m_paths.at(m_position))) {
        fail();
        return;
    }
    // Set after the picture is on screen: setting the interval restarts the countdown, so the
    // pause counts from now.
    setTimer1Interval(*interval);
    ++m_position;
    if (m_position == m_paths.size())
        m_position = 0;
}

void ImageSequence::setTimer1Interval(int milliseconds)
{
    m_timer1->setInterval(milliseconds);
    setTimer1Enabled(m_timer1Enabled);
}

// An interval of 0 never fires, so the show stays on that picture; a QTimer would fire at once.
void ImageSequence::setTimer1Enabled(bool enabled)
{
    m_timer1Enabled = enabled;
    if (enabled && m_timer1->interval() > 0)
        m_timer1->start();
    else
        m_timer1->stop();
}

// The timers stop before anyone hears of the failure, so the message about one broken picture is
// shown once, not again each time a timer would have fired while it is up.
void ImageSequence::fail()
{
    stop();
    emit failed();
}
