#pragma once

#include "platform/AtomicFile.h"
#include "project/ProjectLists.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// A copy of the editor's rows taken before writing, so that nothing run while the writer lets
// events run can change what is written.
struct ProjectSnapshot
{
    QStringList imagePaths;
    QStringList pauses; // row for row with imagePaths
    QStringList audioPaths;
    int stretch = 0; // the check box values: 0 off, 1 on
    int audio = 0;
};

[[nodiscard]] QString imageLineText(const QString &path, const QString &pause);
[[nodiscard]] QString audioLineText(const QString &path);

// The whole file as SaveProject writes it: one line per image, per audio path, then the two
// switch lines, each ended by CR LF.
[[nodiscard]] QByteArray projectFileBytes(const ProjectSnapshot &project);

enum class SaveNoticeKind { Saved, Failed };

struct SaveNotice
{
    SaveNoticeKind kind = SaveNoticeKind::Saved;
    QString text;
};

// Writes the snapshot to the path, replacing the old file only once the new one is complete, so
// a failed save leaves the previous project whole; where only the file, not its folder, may be
// written, it is written in place.
SaveResult writeProjectFile(const QString &pathText,
                            const ProjectSnapshot &project,
                            const LetEventsRun &letEventsRun = {});

// The message a non-silent save shows: "Project saved", or "Unable to save project", CR LF and
// the system's description.
[[nodiscard]] SaveNotice saveNoticeFor(const SaveResult &result);

// Saves the snapshot; returns the message to show unless Silent is nonzero.
std::optional<SaveNotice> SaveProject(const QString &pathText,
                                      const ProjectSnapshot &project,
                                      qint16 Silent,
                                      const LetEventsRun &letEventsRun = {});
