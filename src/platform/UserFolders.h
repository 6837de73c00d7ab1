#pragma once

#include <QString>

// Whether the user running the program may create files in the folder. Tried for real with a
// file that is removed at once: the permission bits tell nothing about a read-only medium, and
// a folder only root may write (where an installed program lives) answers no to everyone else.
[[nodiscard]] bool userMayWriteIn(const QString &directory);

// The running program's data folder for this user (~/.local/share/<program> on Linux); it may
// not exist yet.
[[nodiscard]] QString userDataFolder();

// The folder to keep a file of the program in: its own folder when the user may write there (a
// portable copy, a disc image, the build tree), else the fallback folder, created when missing.
// The program's folder when neither can be written, so that the write fails where it would have.
[[nodiscard]] QString writableFolderFor(const QString &programDirectory,
                                        const QString &fallbackDirectory);
