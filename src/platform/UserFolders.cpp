#include "platform/UserFolders.h"

#include <QDir>
#include <QStandardPaths>
#include <QTemporaryFile>

bool userMayWriteIn(const QString &directory)
{
    if (directory.isEmpty() || !QFileInfo(directory).isDir())
        return false;
    QTemporaryFile probe(QDir(directory).filePath(QStringLiteral(".write-test-XXXXXX")));
    return probe.open();
}

QString userDataFolder()
{
    return QDir::toNativeSeparators(
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
}

QString writableFolderFor(const QString &programDirectory, const QString &fallbackDirectory)
{
    if (userMayWriteIn(programDirectory) || fallbackDirectory.isEmpty()
        || !QDir().mkpath(fallbackDirectory)) {
        return programDirectory;
    }
    return fallbackDirectory;
}
