#pragma once

#include "picture/MemoryBudget.h"
#include "picture/PictureDecoding.h"

#include <QByteArray>
#include <QByteArrayView>

#include <optional>

// Whether the file whose first bytes these are is a HEIF container (HEIC from phones and cameras,
// AVIF): told by its content, whatever its name.
[[nodiscard]] bool isHeifPicture(QByteArrayView head);

// The colour profile of the file's main picture: its ICC profile, or one made from its nclx
// description; nothing when it has neither or says it is sRGB, an empty profile when it has
// one that cannot be used (HDR, say).
[[nodiscard]] std::optional<QByteArray> heifColourProfile(QByteArrayView file);

// Decodes the main picture of a HEIF file with libheif, upright as its rotation and mirroring
// say, and keeps only what the request needs: the screen-sized part of a larger picture, or the
// whole picture scaled to the screen. HEVC and AV1 cannot decode at a smaller size, so the
// picture is decoded whole first, or its stored small copy when that is large enough for a
// stretched request; one needing more than the budget is not decoded at all. The file's bytes
// must last as long as the call. Nothing when the file cannot be decoded.
[[nodiscard]] std::optional<LoadedPicture> decodeHeifPicture(QByteArrayView file,
                                                             const PictureRequest &request,
                                                             MemoryBudget &budget);
