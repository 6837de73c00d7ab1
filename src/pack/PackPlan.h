#pragma once

#include "project/ProjectWriter.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

struct ShowToPack;

// One file to copy into the packed folder.
struct PackFile
{
    QString source;     // native path of the file the show plays
    QString packedName; // its name in the packed folder
    qint64 size = 0;
};

// A file the show names that cannot be packed, with the project line that names it.
struct PackProblem
{
    int line = 0;
    QString path;   // native path as the player would look for it
    QString reason; // "not found", "not a file", or the system's description
};

struct PackOptions
{
    QString projectName = QStringLiteral("show.ssp"); // the packed project's file name
    std::optional<QString> autorunProgram; // writes Autorun.inf starting this program when set
};

inline constexpr QLatin1StringView kAutorunFileName{"Autorun.inf"};
inline constexpr QLatin1StringView kDefaultAutorunProgram{"Showvale.exe"};

// Everything a pack will write, worked out before anything is written.
struct PackPlan
{
    QList<PackFile> files;   // each file once, in the order the show names them
    ProjectSnapshot project; // the packed project: every path "%CurDir\" + packed name
    QString projectName;
    std::optional<QString> autorunProgram;
    QList<PackProblem> problems; // while there are any, nothing may be copied

    [[nodiscard]] qint64 totalBytes() const;
};

// Resolves every picture and music file as the player would, checks each can be read, and gives
// each its packed name: a file named twice is copied once, different files of one name get
// distinct names, names the format cannot carry are changed.
[[nodiscard]] PackPlan planPack(const ShowToPack &show, const PackOptions &options);

// One line per problem: "line 3: /home/ann/gone.jpg (not found)".
[[nodiscard]] QStringList problemLines(const PackPlan &plan);
