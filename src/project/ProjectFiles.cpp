#include "project/ProjectFiles.h"

#include <QDir>

QString testRunProjectPath(const QString &folder)
{
    return QDir::toNativeSeparators(QDir(folder).filePath(kTestRunFileName));
}
