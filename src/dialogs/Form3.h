#pragma once

#include "platform/CommonDialog.h"
#include "platform/PlatformServices.h"
#include "project/AutorunFile.h"

#include <QByteArray>
#include <QString>
#include <QWidget>

#include <functional>

class QLineEdit;
class QPushButton;

// The autorun file in a folder: the editor's own program directory, or one the user picks.
[[nodiscard]] QString autorunFilePath(const QString &directory);

// The autorun builder: writes an Autorun.inf that makes a compact disc start the player.
class Form3 final : public QWidget
{
    Q_OBJECT

public:
    // A window of its own (no parent) that deletes itself when closed. projectDirectory gives the
    // folder of the project last opened or saved, where the Save dialog starts.
    Form3(const PlatformServices &services,
          QString programDirectory,
          std::function<QString()> projectDirectory = {});

    // "Compile": writes the file beside the program, or where the user says when the user may
    // not write there; says how it went and closes the builder. Cancelling the Save dialog
    // writes nothing and keeps the builder open.
    void BuildAutorun();
    // "Help": how to put the file on a disc; the builder stays open.
    void showHelp();

private:
    void createControls();
    // The Save dialog's answer for where Autorun.inf goes; nothing when cancelled.
    [[nodiscard]] std::optional<QString> chooseAutorunPath();

    PlatformServices m_services;
    QString m_programDirectory;
    std::function<QString()> m_projectDirectory;
    CommonDialog m_saveDialog;
    // The two texts the file is made of, under their designer names.
    struct Controls
    {
        QLineEdit *Text2 = nullptr; // the program's path, "Vistelle.exe" at first
        QLineEdit *Text1 = nullptr; // the project's name, "slide.ssp" at first
    };
    Controls m_form;
};
