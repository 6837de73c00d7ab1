#pragma once

#include "project/ProjectLine.h"
#include "project/ProjectLists.h"

#include <QString>
#include <QStringView>

#include <functional>
#include <optional>

// What a reader remembered from the switch lines; a later line replaces an earlier one.
struct ProjectSwitchValues
{
    std::optional<QString> stretch; // the text after "Sp="
    std::optional<QString> audio;   // the text after "Ea="
};

struct ProjectReadOptions
{
    LetEventsRun letEventsRun;
};

// Hands each value of decoded project text, unescaped and classified, to the visitor with the
// line it began on. Path texts stay as written, "%CurDir" included.
void forEachProjectLine(QStringView text,
                        const std::function<void(const ProjectLine &line, int lineNumber)> &visit);

// Reads decoded project text value by value into the lists. Pure: no file, no widgets.
ProjectSwitchValues readProjectText(QStringView text,
                                    ProjectLists &lists,
                                    const ProjectReadOptions &options = {});

struct ProjectFileRead
{
    ProjectSwitchValues switches;
    std::optional<QString> error; // the system's description when the file could not be read
};

struct ProjectFileText
{
    QString text;
    std::optional<QString> error; // the system's description when the file could not be read
};

// Far above any real project (100,000 pictures take about 5 MB), far below what would exhaust
// memory.
inline constexpr qint64 kMaxProjectFileBytes = 256 * 1024 * 1024;

// Opens, reads, decodes and closes a project file. Only regular files of at most
// kMaxProjectFileBytes are read; anything else is an error with a description.
[[nodiscard]] ProjectFileText readProjectFileText(const QString &pathText);

// Opens, reads and closes the file, then reads its text into the lists.
ProjectFileRead readProjectFile(const QString &pathText,
                                ProjectLists &lists,
                                const ProjectReadOptions &options = {});

// The editor's reading: appends to the lists, never resolves "%CurDir", ends quietly on a
// file that cannot be read. The caller sets a switch only for a value of exactly "1".
ProjectSwitchValues LoadProject(const QString &pathText,
                                ProjectLists &lists,
                                const LetEventsRun &letEventsRun = {});

// The player's reading: reports a file that cannot be read with the system's description. The
// lists get the path texts as written; "%CurDir" is resolved when a file is opened
// (resolveShowPath), which keeps the reading of a long show quick.
ProjectFileRead LoadShow(const QString &pathText,
                         ProjectLists &lists,
                         const LetEventsRun &letEventsRun = {});
