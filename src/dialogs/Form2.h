#pragma once

#include "dialogs/DirectoryImportTarget.h"

#include "platform/PlatformServices.h"

#include <QHash>
#include <QPointer>
#include <QString>
#include <QWidget>

class DirectoryListBox;
class DriveListBox;
class FileListBox;
class QCheckBox;
class QLineEdit;
class QPushButton;

enum class ImportMode { Image, Audio };

// What opening the import in a mode sets: the mode word, the caption and the pattern.
struct ImportModeTexts
{
    QString word;
    QString caption;
    QString defaultPattern;
};

[[nodiscard]] ImportModeTexts importModeTexts(ImportMode mode);

// The directory import dialog: appends every file of one directory that matches a pattern to
// the editor's image or audio list. Not modal, and it stays open for the next directory.
class Form2 final : public QWidget
{
    Q_OBJECT

public:
    // A window of its own (no parent) that deletes itself when closed. The target may go away
    // before the dialog does; an import then stops and "Add" is disabled.
    Form2(const PlatformServices &services, DirectoryImportTarget *target);

    // Sets the mode word, the caption and the default pattern, in that order.
    void setImportMode(ImportMode mode);
    [[nodiscard]] QString modeWord() const { return m_modeWord; }

    // Opens a directory as if the user had opened it in the directory list.
    bool openDirectory(const QString &path);

    // "Add": the matching files of the open directory become entries of the mode's list.
    void addToList();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void createControls();
    void openStartDirectory();
    void changeDrive(const QString &rootPath);
    void followDirectory(const QString &path);
    void reportUnreadable(const QString &path);

    PlatformServices m_services;
    QPointer<DirectoryImportTarget> m_target;
    QString m_modeWord;
    QHash<QString, QString> m_directoryOfDrive; // where each drive was left, as Windows keeps it
    bool m_closed = false;

    // The controls under their designer names, with their captions.
    struct Controls
    {
        DriveListBox *Drive1 = nullptr;   // the drives
        DirectoryListBox *Dir1 = nullptr; // the folders down to the open one and those in it
        FileListBox *File1 = nullptr;     // hidden: the open folder's files that match Text2
        QPushButton *Command5 = nullptr;  // "Add"
        QLineEdit *Text2 = nullptr;       // the file pattern
        QCheckBox *Check2 = nullptr;      // "%CurDir\ Before Each File Name"
    };
    Controls m_form;
};
