#pragma once

#include "project/ProjectLine.h"

#include <QString>
#include <QStringList>

// Whether the format can carry a path text as an entry of the given kind (Image or Audio):
// written into a project file and read back, it comes back as the same path of the same kind.
// Line breaks, "*CommA*", " *;Pause=", a leading blank or double quote and the like cannot.
[[nodiscard]] bool canStorePathText(const QString &pathText, ProjectLineKind kind);

// What the editor says when it refuses names it could not store; names every file.
[[nodiscard]] QString unstorableNamesMessage(const QStringList &pathTexts);
