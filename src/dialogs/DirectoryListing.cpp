#include "dialogs/DirectoryListing.h"

#include "dialogs/FileNamePattern.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace {

QStringList visibleEntries(const QString &path, QDir::Filters kind)
{
    QDir directory(path);
    // Not QDir::Hidden: dot files and Windows hidden files stay out. Not QDir::System: sockets,
    // devices and broken links are not files a user imports.
    directory.setFilter(kind | QDir::NoDotAndDotDot);
    directory.setSorting(QDir::Unsorted);
    QStringList names = directory.entryList();
    sortNamesIgnoringCase(names);
    return names;
}

} // namespace

QString displayDirectoryPath(const QString &path)
{
    return QDir::toNativeSeparators(QDir::cleanPath(QDir(path).absolutePath()));
}

bool isOpenableDirectory(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() && info.isDir() && info.isReadable() && info.isExecutable();
}

QStringList directoryChain(const QString &path)
{
    // Walks the text, not the disk, so a directory removed meanwhile still shows where it was.
    QStringList chain;
    QString current = QDir::cleanPath(QDir(path).absolutePath());
    while (true) {
        chain.prepend(QDir::toNativeSeparators(current));
        if (QDir(current).isRoot())
            break;
        const QString parent = QFileInfo(current).path();
        if (parent.isEmpty() || parent == current)
            break;
        current = parent;
    }
    return chain;
}

QStringList subdirectoryNames(const QString &path)
{
    return visibleEntries(path, QDir::Dirs);
}

QStringList matchingFileNames(const QString &path, const FileNamePattern &pattern)
{
    if (pattern.isEmpty())
        return {};
    QStringList names = visibleEntries(path, QDir::Files);
    names.removeIf([&pattern](const QString &name) { return !pattern.matches(name); });
    return names;
}

void sortNamesIgnoringCase(QStringList &names)
{
    std::sort(names.begin(), names.end(), [](const QString &left, const QString &right) {
        const int byName = left.compare(right, Qt::CaseInsensitive);
        return byName != 0 ? byName < 0 : left < right;
    });
}

QString importEntryPath(const QString &directoryPath, const QString &fileName, QChar separator)
{
    return directoryPath + separator + fileName;
}
