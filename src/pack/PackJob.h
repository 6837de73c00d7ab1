#pragma once

#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <optional>

struct PackPlan;

struct PackProgress
{
    int filesDone = 0;
    int filesTotal = 0;
    qint64 bytesDone = 0;
    qint64 bytesTotal = 0;
};

// "24.0 MB", "2.0 GB"
[[nodiscard]] QString dataSizeText(qint64 bytes);

// "12 of 1000 files, 24.0 MB of 2.0 GB"
[[nodiscard]] QString progressText(const PackProgress &progress);

struct PackOutcome
{
    enum class Kind {
        Packed,    // the target folder holds the show
        Refused,   // nothing was written: files cannot be packed, or the folder cannot take them
        Failed,    // writing failed part-way (a full disk); what was written is gone again
        Cancelled, // stopped by the user; what was written is gone again
    };
    Kind kind = Kind::Packed;
    QStringList details; // the problems, one per line, when refused or failed
};

// The message a user reads: "Show packed to " + folder, or "Unable to pack show" and one line
// per problem, joined by the line end given; empty for a cancelled pack.
[[nodiscard]] QString outcomeText(const PackOutcome &outcome,
                                  const QString &targetFolder,
                                  const QString &lineEnd);

// Why a folder cannot take a packed show; nothing when it does not exist yet (its parent does)
// or is an empty folder.
[[nodiscard]] std::optional<QString> packTargetRefusal(const QString &targetFolder);

struct PackControl
{
    std::function<void(const PackProgress &)> progress; // after every chunk and every file
    const std::atomic_bool *cancel = nullptr;           // checked between chunks
};

// Packs the plan into the folder: copies into a work folder (beside a new target, inside an
// empty existing one, which may be a stick's root), writes the project and Autorun.inf, and only
// then puts it all in place. A failure or a cancel removes the work folder; sources are only read.
[[nodiscard]] PackOutcome packShow(const PackPlan &plan,
                                   const QString &targetFolder,
                                   const PackControl &control = {});
