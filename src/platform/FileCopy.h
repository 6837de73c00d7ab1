#pragma once

#include <QString>

#include <functional>

// Told the bytes of each chunk as it is copied; answers false to stop the copy.
using ChunkCopied = std::function<bool(qint64 bytes)>;

struct CopyResult
{
    enum class Kind { Copied, Stopped, Failed };
    Kind kind = Kind::Copied;
    QString error; // the system's description when the copy failed
};

// Copies a file into a new file (never over an existing one) in chunks of a few megabytes,
// through the kernel where it can (copy_file_range), so the copy runs at the disk's speed and can
// be stopped between chunks. A copy that fails or is stopped is removed.
[[nodiscard]] CopyResult copyFileInChunks(const QString &source,
                                          const QString &target,
                                          const ChunkCopied &chunkCopied);
