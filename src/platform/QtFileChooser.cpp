#include "platform/QtFileChooser.h"

#include <QFileDialog>

QtFileChooser::QtFileChooser(QWidget *parent)
    : m_parent(parent)
{}

std::optional<QString> QtFileChooser::chooseFile(const FileDialogRequest &request)
{
    QFileDialog dialog(m_parent.data(), request.title);
    dialog.setObjectName(QStringLiteral("FileDialog"));
    if (request.mode == FileDialogMode::Folder) {
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly, true);
        if (!request.initialFileName.isEmpty())
            dialog.setDirectory(request.initialFileName);
    } else {
        const bool save = request.mode == FileDialogMode::Save;
        dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        // Open too takes a name that does not exist; the command that asked decides what that
        // means.
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
        dialog.setNameFilters(request.nameFilters);
        if (!request.initialFileName.isEmpty())
            dialog.selectFile(request.initialFileName);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
}
