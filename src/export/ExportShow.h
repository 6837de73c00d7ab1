#pragma once

#include "project/PathText.h"
#include "project/ShowListing.h"

#include <QString>
#include <QStringView>

#include <optional>

struct ProjectSnapshot;

// Reads project text as the player does; "%CurDir" names are looked for in the two folders.
[[nodiscard]] ShowListing exportShowFromText(QStringView projectText, const CurDirFolders &folders);

// What the editor window holds, read as its test run would read it.
[[nodiscard]] ShowListing exportShowFromSnapshot(const ProjectSnapshot &project,
                                                 const CurDirFolders &folders);

struct ExportShowRead
{
    ShowListing show;
    std::optional<QString> error; // the system's description when the file could not be read
};

// Reads a project file; its own folder is where "%CurDir" names are looked for second.
[[nodiscard]] ExportShowRead readExportShow(const QString &projectPath,
                                            const QString &programDirectory);
