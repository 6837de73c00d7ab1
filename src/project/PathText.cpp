#include "project/PathText.h"

#include "platform/NativePath.h"
#include "project/ProjectLine.h"

#include <QDir>
#include <QFileInfo>

QString resolveCurDir(QString value, const QString &programDirectory)
{
    if (value.contains(kCurDirPlaceholder))
        value.replace(kCurDirPlaceholder, programDirectory);
    return value;
}

QString curDirPathText(const QString &fileName)
{
    return QString(kCurDirPlaceholder) + u'\\' + fileName;
}

QString curDirText(const QString &directory)
{
    QString text = QDir::toNativeSeparators(QDir::cleanPath(directory));
    const bool isRoot = text == u"/" || (text.size() == 3 && text.endsWith(u":\\"));
    while (!isRoot && text.size() > 1 && (text.endsWith(u'/') || text.endsWith(u'\\')))
        text.chop(1);
    return text;
}

QString resolveShowPath(const QString &pathText, const CurDirFolders &folders)
{
    const QString inProgramFolder = openablePath(
        resolveCurDir(pathText, curDirText(folders.programDirectory)));
    if (!pathText.contains(kCurDirPlaceholder) || folders.projectDirectory.isEmpty()
        || QFileInfo::exists(inProgramFolder))
        return QDir::toNativeSeparators(inProgramFolder);
    const QString inProjectFolder = openablePath(
        resolveCurDir(pathText, curDirText(folders.projectDirectory)));
    return QDir::toNativeSeparators(QFileInfo::exists(inProjectFolder) ? inProjectFolder
                                                                       : inProgramFolder);
}

QString nativePath(const QString &pathText)
{
    return QDir::toNativeSeparators(openablePath(pathText));
}

QString folderOfFile(const QString &pathText)
{
    return QDir::toNativeSeparators(QFileInfo(openablePath(pathText)).absolutePath());
}
