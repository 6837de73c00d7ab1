#pragma once

#include "platform/PlatformServices.h"
#include "project/PathText.h"

#include <QString>

class QProgressDialog;
class QWidget;

// What the editor's commands on the whole show (export a video, pack it) start from: the window
// their dialogs belong to, the services they ask and tell through, and where "%CurDir" stands.
class ShowCommand
{
public:
    // "%CurDir" stands for the program directory, as in the test run.
    ShowCommand(QWidget &window, const PlatformServices &services, QString programDirectory);

protected:
    // Where "%CurDir" names are looked for: beside the program, then in the project's folder.
    [[nodiscard]] CurDirFolders folders(const QString &projectDirectory) const
    {
        return {m_programDirectory, projectDirectory};
    }
    // A progress dialog of the window that closes and resets only when the command says so.
    [[nodiscard]] QProgressDialog *newProgressDialog(const QString &objectName,
                                                     const QString &title,
                                                     Qt::WindowModality modality,
                                                     int minimumDurationMs) const;

    QWidget &m_window;
    PlatformServices m_services;

private:
    QString m_programDirectory;
};
