#pragma once

#include "picture/PictureDecoding.h"

#include <QString>

#include <optional>

// Whether the file is a HEIF container (HEIC from phones and cameras, AVIF): told by its content,
// whatever its name. Only regular files are looked at.
[[nodiscard]] bool isHeifFile(const QString &path);

// Decodes the main picture of a HEIF file with libheif, upright as its rotation and mirroring
// say, and keeps only what the request needs: the screen-sized part of a larger picture, or the
// whole picture scaled to the screen. HEVC and AV1 cannot decode at a smaller size, so the
// picture is decoded whole first, or its stored small copy when that is large enough for a
// stretched request; one needing more than the memory limit is not decoded at all. Nothing when
// the file cannot be decoded.
[[nodiscard]] std::optional<LoadedPicture> decodeHeifPicture(const QString &path,
                                                             const PictureRequest &request,
                                                             qint64 memoryLimitBytes);
