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

    DriveListBox *m_drive1 = nullptr;
    DirectoryListBox *m_dir1 = nullptr;
    FileListBox *m_file1 = nullptr;
    QPushButton *m_command5 = nullptr;
    QLineEdit *m_text2 = nullptr;
    QCheckBox *m_check2 = nullptr;
};
