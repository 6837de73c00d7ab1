#pragma once

#include "platform/CommonDialog.h"

#include <QPointer>
#include <QWidget>

// File dialogs as QFileDialog. The Save dialog neither asks before replacing a file nor adds an
// extension, and the Open dialog accepts a name that does not exist; the name typed is the name
// used.
class QtFileChooser final : public FileChooser
{
public:
    explicit QtFileChooser(QWidget *parent = nullptr);

    std::optional<QString> chooseFile(const FileDialogRequest &request) override;

private:
    QPointer<QWidget> m_parent;
};
