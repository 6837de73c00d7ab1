#pragma once

#include <QString>

// Path texts stay exactly as the user or the file gave them; they become native paths only when
// a file is opened. A backslash is a separator here too, so paths written on Windows open.
[[nodiscard]] inline QString openablePath(const QString &pathText)
{
#ifdef Q_OS_WIN
    return pathText;
#else
    QString path = pathText;
    return path.replace(u'\\', u'/');
#endif
}
