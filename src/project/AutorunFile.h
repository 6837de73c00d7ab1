#pragma once

#include <QByteArray>
#include <QString>

// The bytes of an Autorun.inf that starts a program with a project, in the platform's 8-bit
// text with CR LF line ends. Both texts go in as typed: nothing is trimmed or quoted.
[[nodiscard]] QByteArray autorunFileContent(const QString &program, const QString &project);
