#pragma once

#include <QString>
#include <QStringList>

#include <optional>

inline constexpr QLatin1StringView kPackOption{"--pack"};

// "vistelle --pack PROJECT FOLDER [--autorun PLAYER]"
struct PackRequest
{
    QString projectPath;
    QString targetFolder;
    std::optional<QString> autorunProgram;
};

// The request in the arguments after the program's name; nothing when they do not make one.
[[nodiscard]] std::optional<PackRequest> parsePackArguments(const QStringList &arguments);

// Packs a project file for the command line, with no display: progress on standard output when
// it is a terminal, the outcome at the end, every problem on standard error. Ctrl+C cancels and
// removes what was written. Returns the exit code: 0 packed, 1 not.
int runPackCommand(const QStringList &arguments, const QString &programDirectory);
