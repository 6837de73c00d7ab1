#include "PathText.h"

#include "ProjectLine.h"

#include <QDir>

QString resolveCurDir(QString value, const QString &programDirectory)
{
    if (value.contains(kCurDirPlaceholder))
        value.replace(kCurDirPlaceholder, programDirectory);
    return value;
}

QString curDirText(const QString &directory)
{
    QString text = QDir::toNativeSeparators(QDir::cleanPath(directory));
    const bool isRoot = text == u"/" || (text.size() == 3 && text.endsWith(u":\\"));
    while (!isRoot && text.size() > 1 && (text.endsWith(u'/') || text.endsWith(u'\\')))
        text.chop(1);
    return text;
}
