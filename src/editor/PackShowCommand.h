#pragma once

#include "editor/ShowCommand.h"

#include <QString>

struct PackOutcome;
struct PackPlan;
struct ProjectSnapshot;

// "Pack Show...": copies the window's show into a new or empty folder the user picks, with the
// project's name and an optional Autorun.inf asked in a small dialog, behind a progress dialog
// whose Cancel removes what was written. Missing files are reported before anything is asked.
class PackShowCommand final : private ShowCommand
{
public:
    using ShowCommand::ShowCommand;

    // The folder and name of the project last opened or saved in the window (empty when none):
    // "%CurDir" files are looked for in that folder too, and its name is offered for the pack.
    void run(const ProjectSnapshot &project,
             const QString &projectDirectory,
             const QString &projectFileName);

private:
    PackOutcome packWithProgress(const PackPlan &plan, const QString &folder);
    void report(const PackOutcome &outcome, const QString &folder);

    QString m_lastFolder;
};
