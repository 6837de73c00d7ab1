#pragma once

#include <QString>
#include <QStringList>

// What a program knows about how it was started.
struct ProgramEnvironment
{
    QString programDirectory; // the directory that holds the running program
    QString argumentText;     // every argument after the program's name, joined by one blank
};

[[nodiscard]] QString joinArguments(const QStringList &argumentsAfterProgram);

// The arguments after the program's name, readable before any application object exists (so
// --help and --version need no display).
[[nodiscard]] QStringList argumentsAfterProgram(int argc, char **argv);

// The running application's environment; needs a QCoreApplication.
[[nodiscard]] ProgramEnvironment currentProgramEnvironment();
