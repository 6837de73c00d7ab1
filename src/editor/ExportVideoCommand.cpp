#include "editor/ExportVideoCommand.h"

#include "export/ExportJob.h"
#include "export/ExportShow.h"
#include "platform/CommonDialog.h"
#include "platform/MessageBoxService.h"

#include <QFileInfo>
#include <QProgressDialog>

namespace {

const QString kVideoFilter = QStringLiteral("MP4 video (*.mp4)");
const QString kExporting = QStringLiteral("Exporting video...");

} // namespace

ExportVideoCommand::~ExportVideoCommand()
{
    delete m_job; // waits for the export to stop and clean up
    delete m_progress;
}

void ExportVideoCommand::exportVideo(const ProjectSnapshot &project, const QString &projectDirectory)
{
    if (m_job) {
        m_progress->raise();
        m_progress->activateWindow();
        return;
    }
    const std::optional<QString> chosen = m_services.files->chooseFile(
        {FileDialogMode::Save, {}, {kVideoFilter}, m_lastFileName});
    if (!chosen || chosen->isEmpty())
        return;
    QString path = *chosen;
    // A name typed without an extension still makes a file that players recognise.
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".mp4");
    m_lastFileName = path;

    m_job = new ExportJob(exportShowFromSnapshot(project, folders(projectDirectory)),
                          path,
                          ExportSettings{},
                          m_pictures,
                          this);
    // The window stays usable while the video is made: the export works on its own copy.
    m_progress = newProgressDialog(QStringLiteral("exportProgress"),
                                   QStringLiteral("Vistelle"),
                                   Qt::NonModal,
                                   0);
    m_progress->setLabelText(kExporting);
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    connect(m_progress, &QProgressDialog::canceled, this, [this] {
        if (m_job)
            m_job->cancel();
    });
    connect(m_job, &ExportJob::progressed, this, &ExportVideoCommand::showProgress);
    connect(m_job, &ExportJob::finished, this, &ExportVideoCommand::finish);
    m_progress->show();
    m_job->start();
}

void ExportVideoCommand::showProgress(int percent, const QString &timeLeft)
{
    if (!m_progress || m_progress->wasCanceled())
        return;
    m_progress->setValue(percent);
    m_progress->setLabelText(timeLeft.isEmpty() ? kExporting : kExporting + u'\n' + timeLeft);
}

void ExportVideoCommand::finish(const ExportOutcome &outcome)
{
    // The job has emitted from its own event; it goes once that is over.
    m_job->deleteLater();
    m_job.clear();
    if (m_progress) {
        m_progress->hide();
        m_progress->deleteLater();
    }
    switch (outcome.kind) {
    case ExportOutcome::Kind::Exported:
        m_services.messages->show(QStringLiteral("Video exported"), MessageIcon::Information);
        break;
    case ExportOutcome::Kind::Failed:
        m_services.messages->show(QStringLiteral("Unable to export video\r\n") + outcome.message,
                                  MessageIcon::Critical);
        break;
    case ExportOutcome::Kind::Cancelled:
        break;
    }
}
