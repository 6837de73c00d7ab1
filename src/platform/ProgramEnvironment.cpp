#include "ProgramEnvironment.h"

#include <QCoreApplication>
#include <QDir>

QString joinArguments(const QStringList &argumentsAfterProgram)
{
    return argumentsAfterProgram.join(u' ');
}

ProgramEnvironment currentProgramEnvironment()
{
    return {QDir::toNativeSeparators(QCoreApplication::applicationDirPath()),
            joinArguments(QCoreApplication::arguments().mid(1))};
}
