#pragma once

#include <QString>

// Replaces every "%CurDir" by the given directory (absolute, no trailing separator unless it is a
// root), as the player does for each value it reads.
[[nodiscard]] QString resolveCurDir(QString value, const QString &programDirectory);

// A directory as "%CurDir" stands for it: without a trailing separator unless it is a root.
[[nodiscard]] QString curDirText(const QString &directory);
