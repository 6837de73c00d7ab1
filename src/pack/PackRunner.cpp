#include "pack/PackRunner.h"

#include <QElapsedTimer>
#include <QThread>

namespace {

// Progress reaches the window at most this often; more would only flood its event queue.
constexpr qint64 kReportIntervalMs = 50;

} // namespace

PackRunner::PackRunner(PackPlan plan, QString targetFolder, QObject *parent)
    : QObject(parent)
    , m_plan(std::move(plan))
    , m_target(std::move(targetFolder))
{}

PackRunner::~PackRunner()
{
    if (m_thread) {
        cancel();
        m_thread->wait();
    }
}

void PackRunner::start()
{
    if (m_thread)
        return;
    m_thread.reset(QThread::create([this] {
        QElapsedTimer sinceReport;
        PackControl control;
        control.cancel = &m_cancel;
        control.progress = [this, &sinceReport](const PackProgress &progress) {
            const bool last = progress.filesDone == progress.filesTotal;
            if (sinceReport.isValid() && sinceReport.elapsed() < kReportIntervalMs && !last)
                return;
            sinceReport.start();
            // Queued to this object: dropped unread if the runner is gone by then.
            QMetaObject::invokeMethod(
                this, [this, progress] { emit progressed(progress); }, Qt::QueuedConnection);
        };
        const PackOutcome outcome = packShow(m_plan, m_target, control);
        QMetaObject::invokeMethod(
            this, [this, outcome] { emit finished(outcome); }, Qt::QueuedConnection);
    }));
    m_thread->start();
}

void PackRunner::cancel()
{
    m_cancel = true;
}
