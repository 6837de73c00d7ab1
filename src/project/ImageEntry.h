#pragma once

#include "project/ProjectLists.h"

#include <QString>
#include <QStringView>

#include <optional>

struct ImageEntry
{
    QString path;
    QString pause; // a whole number of seconds in decimal
};

// Splits an image line at the pause marker; nothing when the path part is empty.
[[nodiscard]] std::optional<ImageEntry> parseImageLine(QStringView line);

// Parses one image line and appends its entry to the window's lists; an unusable line adds
// nothing.
void AddImageEntry(ProjectLists &lists, QStringView line);
