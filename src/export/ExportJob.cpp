#include "export/ExportJob.h"

#include <QThread>

#include <cmath>

ExportJob::ExportJob(ShowListing show,
                     QString targetPath,
                     ExportSettings settings,
                     PictureLoader &pictures,
                     QObject *parent)
    : QObject(parent)
    , m_show(std::move(show))
    , m_targetPath(std::move(targetPath))
    , m_settings(settings)
    , m_pictures(pictures)
{}

ExportJob::~ExportJob()
{
    if (m_thread) {
        cancel();
        m_thread->wait();
        delete m_thread;
    }
}

void ExportJob::start()
{
    if (m_thread)
        return;
    m_clock.start();
    m_thread = QThread::create([this] {
        const ExportOutcome outcome = exportVideo(m_show,
                                                  m_targetPath,
                                                  m_settings,
                                                  m_pictures,
                                                  {[this](double fraction) {
                                                       reportProgress(fraction);
                                                   },
                                                   [this] { return m_cancelled.load(); }});
        // Queued to the job's own thread; dropped if the job is gone by then.
        QMetaObject::invokeMethod(
            this, [this, outcome] { emit finished(outcome); }, Qt::QueuedConnection);
    });
    m_thread->start();
}

void ExportJob::cancel()
{
    m_cancelled = true;
}

bool ExportJob::isRunning() const
{
    return m_thread && m_thread->isRunning();
}

void ExportJob::reportProgress(double fraction)
{
    const int percent = static_cast<int>(std::floor(fraction * 100.0));
    if (percent <= m_lastPercent.exchange(percent))
        return;
    const QString timeLeft = timeLeftText(fraction, m_clock.elapsed());
    QMetaObject::invokeMethod(
        this,
        [this, percent, timeLeft] { emit progressed(percent, timeLeft); },
        Qt::QueuedConnection);
}

QString timeLeftText(double fraction, qint64 elapsedMs)
{
    if (fraction < 0.02 || fraction >= 1.0 || elapsedMs < 500)
        return {};
    const auto seconds = static_cast<qint64>(
        std::ceil(elapsedMs * (1.0 - fraction) / fraction / 1000.0));
    return QStringLiteral("about %1:%2 left").arg(seconds / 60).arg(seconds % 60, 2, 10, QChar(u'0'));
}
