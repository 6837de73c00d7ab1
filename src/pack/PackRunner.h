#pragma once

#include "pack/PackJob.h"
#include "pack/PackPlan.h"

#include <QObject>

#include <atomic>
#include <memory>

class QThread;

// Runs a pack on a worker thread, so the window that started it keeps painting and answering
// clicks. Progress and the outcome arrive as signals on the thread that owns the runner.
class PackRunner final : public QObject
{
    Q_OBJECT

public:
    PackRunner(PackPlan plan, QString targetFolder, QObject *parent = nullptr);
    // Cancels a pack still under way and waits until it has removed what it wrote.
    ~PackRunner() override;

    void start();
    // Asks the pack to stop after the chunk it is copying; finished() follows.
    void cancel();

signals:
    void progressed(const PackProgress &progress);
    void finished(const PackOutcome &outcome);

private:
    PackPlan m_plan;
    QString m_target;
    std::atomic_bool m_cancel = false;
    std::unique_ptr<QThread> m_thread;
};
