#pragma once

#include "dialogs/Form2.h"

#include "platform/PlatformServices.h"

#include <QPointer>
#include <QString>

#include <functional>

class DirectoryImportTarget;
class Form3;
class frmTip;

// The editor's three dialogs, at most one of each. Each opens as a window of its own, not
// modal and not owned, so it stays open when the editor window closes.
class EditorDialogs
{
public:
    // projectDirectory: the folder of the project last opened or saved, empty for none.
    EditorDialogs(const PlatformServices &services,
                  QString programDirectory,
                  DirectoryImportTarget *importTarget,
                  std::function<QString()> projectDirectory = {});

    // Opens the directory import, or raises the open one, and switches it to the mode.
    Form2 *openDirectoryImport(ImportMode mode);
    // Opens the autorun builder with its start texts, or raises the open one as it was left.
    Form3 *openAutorunBuilder();
    // Opens the help window, or raises the open one as it was left.
    frmTip *openHelp();

private:
    PlatformServices m_services;
    QString m_programDirectory;
    std::function<QString()> m_projectDirectory;
    QPointer<DirectoryImportTarget> m_importTarget;
    QPointer<Form2> m_form2;
    QPointer<Form3> m_form3;
    QPointer<frmTip> m_help;
};
