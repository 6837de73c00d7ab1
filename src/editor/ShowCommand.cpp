#include "editor/ShowCommand.h"

#include <QProgressDialog>

ShowCommand::ShowCommand(QWidget &window, const PlatformServices &services, QString programDirectory)
    : m_window(window)
    , m_services(services)
    , m_programDirectory(std::move(programDirectory))
{}

QProgressDialog *ShowCommand::newProgressDialog(const QString &objectName,
                                                const QString &title,
                                                Qt::WindowModality modality,
                                                int minimumDurationMs) const
{
    auto *progress = new QProgressDialog(&m_window);
    progress->setObjectName(objectName);
    progress->setWindowTitle(title);
    progress->setWindowModality(modality);
    progress->setAutoClose(false);
    progress->setAutoReset(false);
    progress->setMinimumDuration(minimumDurationMs);
    return progress;
}
