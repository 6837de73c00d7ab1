#pragma once

#include <QChar>
#include <QString>
#include <QStringList>

class FileNamePattern;

// What the drive, directory and file lists of the import dialog show, read from the file system
// without any widget.

// A directory path as the lists show and hand on: absolute, clean, native separators; a root
// keeps its trailing separator ("/", "C:\").
[[nodiscard]] QString displayDirectoryPath(const QString &path);

// Whether a directory can be opened and listed now: it exists, is a directory and may be read.
[[nodiscard]] bool isOpenableDirectory(const QString &path);

// The directory itself and each directory above it, from the root down to it.
[[nodiscard]] QStringList directoryChain(const QString &path);

// The visible subdirectories' names, sorted by name without regard to case.
[[nodiscard]] QStringList subdirectoryNames(const QString &path);

// The names of the visible files matching the pattern, sorted by name without regard to case;
// directories and hidden or special files are left out.
[[nodiscard]] QStringList matchingFileNames(const QString &path, const FileNamePattern &pattern);

// Sorts names as a directory listing does: without regard to case, exact case breaking ties.
void sortNamesIgnoringCase(QStringList &names);

// An imported file's entry: the directory path, a separator and the name. The separator is added
// also after a root's own, giving two in a row ("C:\\photo.jpg"), as the lists always did.
[[nodiscard]] QString importEntryPath(const QString &directoryPath,
                                      const QString &fileName,
                                      QChar separator);
