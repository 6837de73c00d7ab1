#pragma once

#include "platform/PlatformServices.h"
#include "project/AutorunFile.h"

#include <QByteArray>
#include <QString>
#include <QWidget>

class QLineEdit;
class QPushButton;

// Where the autorun file goes: the editor's own program directory.
[[nodiscard]] QString autorunFilePath(const QString &programDirectory);

// Replaces the file whole or not at all: a failed write leaves no half-written file.
[[nodiscard]] bool saveFileAtomically(const QString &path, const QByteArray &content);

// The autorun builder: writes an Autorun.inf that makes a compact disc start the player.
class Form3 final : public QWidget
{
    Q_OBJECT

public:
    // A window of its own (no parent) that deletes itself when closed.
    Form3(const PlatformServices &services, QString programDirectory);

    // "Compile": writes the file, says how it went, and closes the builder either way.
    void BuildAutorun();
    // "Help": how to put the file on a disc; the builder stays open.
    void showHelp();

private:
    void createControls();

    PlatformServices m_services;
    QString m_programDirectory;
    QLineEdit *m_text2 = nullptr;
    QLineEdit *m_text1 = nullptr;
};
