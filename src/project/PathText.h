#pragma once

#include <QString>

// Replaces every "%CurDir" by the given directory (absolute, no trailing separator unless it is a
// root), as the player does for each value it reads.
[[nodiscard]] QString resolveCurDir(QString value, const QString &programDirectory);

// A directory as "%CurDir" stands for it: without a trailing separator unless it is a root.
[[nodiscard]] QString curDirText(const QString &directory);

// The two folders a show's "%CurDir" names are looked for in.
struct CurDirFolders
{
    QString programDirectory; // the player's own folder: what "%CurDir" stands for
    QString projectDirectory; // the folder of the project file; empty when there is none
};

// The native path of a file named by a path text. "%CurDir" stands for the program's folder;
// when the file is not there but is in the project file's folder, that one is used, so a show
// plays from any folder or stick as well as from a disc that holds the player.
[[nodiscard]] QString resolveShowPath(const QString &pathText, const CurDirFolders &folders);
