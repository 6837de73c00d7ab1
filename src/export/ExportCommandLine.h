#pragma once

#include "export/VideoExporter.h"

#include <QString>
#include <QStringList>

#include <variant>

struct ExportRequest
{
    QString projectPath;
    QString videoPath;
    ExportSettings settings;
};

// Reads the arguments after "--export": the project, the video file, then optionally
// "--size WxH" and "--fps N" (also written "--size=WxH", "--fps=N"). A text says what is wrong.
[[nodiscard]] std::variant<ExportRequest, QString> parseExportArguments(const QStringList &arguments);

// "showvale --export": exports without any display, showing progress on stdout (a line that
// updates itself on a terminal, one line per 10 % otherwise) and the reason for a failure on
// stderr. Returns the exit code. Needs a QCoreApplication.
int runExportCommand(const QStringList &arguments, const QString &programDirectory);
