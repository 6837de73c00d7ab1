#include "platform/EventPump.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>

namespace {

constexpr qint64 kFrameMs = 15;

qint64 monotonicMs()
{
    static QElapsedTimer clock = [] {
        QElapsedTimer started;
        started.start();
        return started;
    }();
    return clock.elapsed();
}

} // namespace

void QtEventPump::letEventsRun()
{
    const qint64 now = monotonicMs();
    if (m_lastRunMs >= 0 && now - m_lastRunMs < kFrameMs)
        return;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    // Measured after the pass, so nested commands run inside it do not shorten the next gap.
    m_lastRunMs = monotonicMs();
}
