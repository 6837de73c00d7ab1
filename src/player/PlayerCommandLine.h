#pragma once

#include <QString>

enum class PlayerCommandKind {
    Play,          // play the project at projectPath
    ChooseProject, // no argument: ask for the project with the Open dialog
    ShowHelp,
    ShowVersion,
    CheckProject, // report what the show at projectPath would meet, without a window
    ExportVideo   // write the show as a video; its arguments are read one by one
};

struct PlayerCommand
{
    PlayerCommandKind kind = PlayerCommandKind::ChooseProject;
    QString projectPath;
};

// Reads the player's argument text (all arguments joined by one blank). Every double quote is
// removed and the rest is one path, blanks included; "--help" and "--version" alone,
// "--check" before a path and "--export" before its own arguments are the only options.
[[nodiscard]] PlayerCommand parsePlayerCommandLine(const QString &argumentText);

[[nodiscard]] QString playerUsageText(const QString &programName);
