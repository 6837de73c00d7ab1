#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// Folder asks for an existing folder; the user may make a new one inside the dialog.
enum class FileDialogMode { Open, Save, Folder };

// What a file dialog is asked to show.
struct FileDialogRequest
{
    FileDialogMode mode = FileDialogMode::Open;
    QString title;           // empty: the platform's default title
    QStringList nameFilters; // Qt's form, "Description (*.a *.b)"
    QString initialFileName; // the name chosen last time, offered again (a folder's path)
};

// Shows a real (or, in tests, a scripted) file dialog; nothing when the user cancels.
class FileChooser
{
public:
    virtual ~FileChooser() = default;
    [[nodiscard]] virtual std::optional<QString> chooseFile(const FileDialogRequest &request) = 0;
};

// "Desc|*.a;*.b|All|*.*" as Qt name filters. Patterns also match upper-case names, and "*.*"
// matches every file, as it does on Windows.
[[nodiscard]] QStringList qtNameFilters(const QString &filter);

// One common dialog instance (CD1, CD2, CD3): set its filter and title, show it, then read the
// chosen file name. It remembers that name and offers it the next time. A cancel is always
// reported as a failure, so every command ends silently on it.
class CommonDialog
{
public:
    explicit CommonDialog(FileChooser &chooser);

    void setFilter(const QString &filter);
    void setDialogTitle(const QString &title);
    // The name the next dialog offers; a full path also opens the dialog in that folder.
    void setFileName(const QString &fileName);

    // False when the user cancelled or the dialog failed.
    [[nodiscard]] bool showOpen();
    [[nodiscard]] bool showSave();

    [[nodiscard]] QString fileName() const { return m_fileName; }
    // The chosen file's name without its directory.
    [[nodiscard]] QString fileTitle() const;

private:
    bool show(FileDialogMode mode);

    FileChooser &m_chooser;
    QString m_filter;
    QString m_title;
    QString m_fileName;
};
