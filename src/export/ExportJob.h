#pragma once

#include "export/VideoExporter.h"
#include "project/ShowListing.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include <atomic>

class PictureLoader;
class QThread;

// Runs one export on a thread of its own, so that the window that started it keeps answering.
// Progress and the outcome arrive as signals on the thread that owns the job. Deleting the job
// cancels a running export and waits for it to clean up.
class ExportJob final : public QObject
{
    Q_OBJECT

public:
    ExportJob(ShowListing show,
              QString targetPath,
              ExportSettings settings,
              PictureLoader &pictures,
              QObject *parent = nullptr);
    ~ExportJob() override;

    void start();
    // The export stops at its next frame and removes what it wrote; finished() follows.
    void cancel();

    [[nodiscard]] bool isRunning() const;

signals:
    // Whole percents, each once, with the time the rest will take as far as it can be told.
    void progressed(int percent, const QString &timeLeft);
    void finished(const ExportOutcome &outcome);

private:
    void reportProgress(double fraction);

    ShowListing m_show;
    QString m_targetPath;
    ExportSettings m_settings;
    PictureLoader &m_pictures;
    QThread *m_thread = nullptr;
    std::atomic<bool> m_cancelled = false;
    std::atomic<int> m_lastPercent = -1;
    QElapsedTimer m_clock;
};

// "about 1:05 left", from how long the part done so far took; empty while too little is done
// to tell.
[[nodiscard]] QString timeLeftText(double fraction, qint64 elapsedMs);
