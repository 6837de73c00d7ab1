#pragma once

#include <QFile>
#include <QString>

#include <filesystem>

// The path as the standard library's file system functions take it, in the system's encoding.
[[nodiscard]] inline std::filesystem::path filesystemPath(const QString &path)
{
#ifdef Q_OS_WIN
    return std::filesystem::path(path.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}
