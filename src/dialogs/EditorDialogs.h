#pragma once

#include "dialogs/Form2.h"

#include "platform/PlatformServices.h"

#include <QPointer>
#include <QString>

class DirectoryImportTarget;
class Form3;
class frmTip;

// The editor's three dialogs, at most one of each. Each opens as a window of its own, not
// modal and not owned, so it stays open when the editor window closes.
class EditorDialogs
{
public:
    EditorDialogs(const PlatformServices &services,
                  QString programDirectory,
                  DirectoryImportTarget *importTarget);

    // Opens the directory import, or raises the open one, and switches it to the mode.
    Form2 *openDirectoryImport(ImportMode mode);
    // Opens the autorun builder with its start texts, or raises the open one as it was left.
    Form3 *openAutorunBuilder();
    // Opens the help window, or raises the open one as it was left.
    frmTip *openHelp();

private:
    PlatformServices m_services;
    QString m_programDirectory;
    QPointer<DirectoryImportTarget> m_importTarget;
    QPointer<Form2> m_form2;
    QPointer<Form3> m_form3;
    QPointer<frmTip> m_help;
};
