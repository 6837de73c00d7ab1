#pragma once

#include "project/PathText.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

struct ProjectSnapshot;

// One file a show names, as its project holds it.
struct NamedFile
{
    QString pathText; // "%CurDir" still unresolved
    int line = 0;     // the project line that names it, from 1
};

// What a pack works from: the show's entries with their lines, and the folders its "%CurDir"
// names are looked for in.
struct ShowToPack
{
    QList<NamedFile> pictures;
    QStringList pauses; // row for row with pictures
    QList<NamedFile> music;
    int stretch = 0; // 0 off, 1 on, as the player takes the switch lines
    int audio = 0;
    CurDirFolders folders;
};

struct ShowToPackRead
{
    std::optional<ShowToPack> show;
    QString error; // the system's description when the project cannot be read
};

// A project file as the player reads it: pauses rounded, switches taken as the player takes
// them, "%CurDir" names looked for beside the program, then beside the project file.
[[nodiscard]] ShowToPackRead readShowToPack(const QString &projectPath,
                                            const QString &programDirectory);

// The editor's rows, each on the line Save would write it to.
[[nodiscard]] ShowToPack showToPackFrom(const ProjectSnapshot &project,
                                        const CurDirFolders &folders);
