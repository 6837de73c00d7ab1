#pragma once

#include "dialogs/FileNamePattern.h"

#include <QListWidget>
#include <QString>
#include <QStringList>

// The file list (File1): the files of one directory whose names match its pattern, sorted by
// name without regard to case. The import dialog keeps it hidden and reads it.
class FileListBox final : public QListWidget
{
    Q_OBJECT

public:
    explicit FileListBox(QWidget *parent = nullptr);

    [[nodiscard]] QString path() const { return m_path; }
    // Lists another directory; a directory that cannot be read lists nothing.
    void setPath(const QString &path);

    [[nodiscard]] QString pattern() const { return m_patternText; }
    // Takes a new pattern and lists the directory again with it.
    void setPattern(const QString &patternText);

    void refresh();
    [[nodiscard]] QStringList fileNames() const { return m_names; }

private:
    QString m_path;
    QString m_patternText;
    FileNamePattern m_pattern;
    QStringList m_names;
};
