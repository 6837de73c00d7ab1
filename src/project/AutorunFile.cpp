#include "project/AutorunFile.h"

QByteArray autorunFileContent(const QString &program, const QString &project)
{
    const QString text = QStringLiteral("[Autorun]\r\nopen=") + program + u' ' + project
                         + QStringLiteral("\r\n");
    return text.toLocal8Bit();
}
