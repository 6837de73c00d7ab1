#include "platform/ProgramEnvironment.h"

#include <QCoreApplication>
#include <QDir>

QString joinArguments(const QStringList &argumentsAfterProgram)
{
    return argumentsAfterProgram.join(u' ');
}

QStringList argumentsAfterProgram(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

ProgramEnvironment currentProgramEnvironment()
{
    return {QDir::toNativeSeparators(QCoreApplication::applicationDirPath()),
            joinArguments(QCoreApplication::arguments().mid(1))};
}
