#pragma once

#include <QFileInfo>
#include <QString>

#include <limits>
#include <optional>

inline constexpr qint64 kNoFileSizeLimit = std::numeric_limits<qint64>::max();

// Why an existing path cannot be read as a file: a directory, a pipe, a socket or a device (which
// would block a reader or never end), or a file larger than maxBytes. Nothing for a regular file
// within the limit, and nothing for a path that does not exist: opening it then says why in the
// system's own words.
[[nodiscard]] inline std::optional<QString> notAReadableFile(const QString &nativePath,
                                                             qint64 maxBytes = kNoFileSizeLimit)
{
    const QFileInfo info(nativePath);
    if (nativePath.isEmpty() || !info.exists())
        return std::nullopt;
    if (info.isDir())
        return QStringLiteral("Is a directory");
    if (!info.isFile())
        return QStringLiteral("Not a regular file");
    if (info.size() > maxBytes)
        return QStringLiteral("File too large");
    return std::nullopt;
}
