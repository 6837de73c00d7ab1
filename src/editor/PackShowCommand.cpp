#include "editor/PackShowCommand.h"

#include "dialogs/PackOptionsDialog.h"
#include "pack/PackRunner.h"
#include "pack/ShowToPack.h"
#include "platform/CommonDialog.h"
#include "platform/MessageBoxService.h"
#include "platform/NativePath.h"

#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QProgressDialog>

#include <memory>

namespace {

constexpr int kProgressSteps = 1000;
const QString kLineEnd = QStringLiteral("\r\n");

} // namespace

void PackShowCommand::run(const ProjectSnapshot &project,
                          const QString &projectDirectory,
                          const QString &projectFileName)
{
    const ShowToPack show = showToPackFrom(project, folders(projectDirectory));
    PackOptions options;
    if (!projectFileName.isEmpty())
        options.projectName = projectFileName;
    if (const PackPlan check = planPack(show, options); !check.problems.isEmpty()) {
        report({PackOutcome::Kind::Refused, problemLines(check)}, {});
        return;
    }

    const QString startFolder = m_lastFolder.isEmpty() ? projectDirectory : m_lastFolder;
    const std::optional<QString> folder = m_services.files->chooseFile(
        {FileDialogMode::Folder, QStringLiteral("Pack Show"), {}, startFolder});
    if (!folder || folder->isEmpty())
        return;
    m_lastFolder = QFileInfo(openablePath(*folder)).absolutePath();
    if (const std::optional<QString> refusal = packTargetRefusal(*folder)) {
        report({PackOutcome::Kind::Refused, {*refusal}}, *folder);
        return;
    }

    PackOptionsDialog dialog(*folder, options, &m_window);
    if (dialog.exec() != QDialog::Accepted)
        return;
    // Planned again: files may have changed while the user chose.
    report(packWithProgress(planPack(show, dialog.options()), *folder), *folder);
}

PackOutcome PackShowCommand::packWithProgress(const PackPlan &plan, const QString &folder)
{
    const std::unique_ptr<QProgressDialog> dialog(newProgressDialog(QStringLiteral("PackProgress"),
                                                                    QStringLiteral("Pack Show"),
                                                                    Qt::WindowModal,
                                                                    300));
    QProgressDialog &progress = *dialog;
    progress.setRange(0, kProgressSteps);
    const QString heading = QStringLiteral("Packing the show into %1\n")
                                .arg(QDir::toNativeSeparators(folder));

    PackRunner runner(plan, folder);
    PackOutcome outcome;
    QEventLoop loop;
    QObject::connect(&runner, &PackRunner::progressed, &progress, [&](const PackProgress &now) {
        progress.setLabelText(heading + progressText(now));
        const double share = now.bytesTotal > 0 ? double(now.bytesDone) / now.bytesTotal
                                                : double(now.filesDone) / qMax(1, now.filesTotal);
        progress.setValue(qBound(0, int(share * kProgressSteps), kProgressSteps));
    });
    QObject::connect(&progress, &QProgressDialog::canceled, &runner, &PackRunner::cancel);
    QObject::connect(&runner, &PackRunner::finished, &loop, [&](const PackOutcome &finished) {
        outcome = finished;
        loop.quit();
    });
    runner.start();
    // The window keeps painting while the worker copies; the dialog keeps it from being edited.
    loop.exec();
    return outcome;
}

void PackShowCommand::report(const PackOutcome &outcome, const QString &folder)
{
    const QString text = outcomeText(outcome, folder, kLineEnd);
    if (text.isEmpty())
        return;
    m_services.messages->show(text,
                              outcome.kind == PackOutcome::Kind::Packed ? MessageIcon::Information
                                                                        : MessageIcon::Critical);
}
