#pragma once

#include <QLatin1StringView>
#include <QString>

#include <functional>

// The tip of every check box that puts "%CurDir\" before the names it adds.
inline constexpr QLatin1StringView kCurDirToolTip{
    "%CurDir is replaced with the Showvale's current directory. Useful for making a slide show on "
    "a compact disc"};

// The path text of a file that lies in the player's own folder: "%CurDir\" and the name.
[[nodiscard]] QString curDirPathText(const QString &fileName);

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

// Asked each time a file is opened: the project folder changes as projects are opened and saved.
using CurDirFoldersSource = std::function<CurDirFolders()>;

// The native path of a file named by a path text. "%CurDir" stands for the program's folder;
// when the file is not there but is in the project file's folder, that one is used, so a show
// plays from any folder or stick as well as from a disc that holds the player.
[[nodiscard]] QString resolveShowPath(const QString &pathText, const CurDirFolders &folders);

// A path text as the system writes paths, for showing it to the user: "/media/stick/red.png",
// not "/media/stick\red.png".
[[nodiscard]] QString nativePath(const QString &pathText);

// The folder that holds the file a path text names: absolute and native.
[[nodiscard]] QString folderOfFile(const QString &pathText);
