#pragma once

#include "picture/ColourTransform.h"
#include "picture/MemoryBudget.h"
#include "picture/PictureDecoding.h"

#include <QByteArrayView>
#include <QImage>
#include <QSize>

#include <optional>

// Decodes a progressive JPEG, the file's bytes, at eighths/8 of its size (rounded up): the part
// the plan clips, or all of it averaged down to the plan's scaled size, as Format_RGB32.
// fileSize is the picture's size as the caller read it from the header; a file whose frame says
// otherwise is refused. Only the coefficients that
// size and region need are kept, a fraction of what a whole decode holds; the scans are decoded
// on two cores at once where they touch different coefficients; the rows are scaled on the
// second core as they are built. All it allocates, a copy of the file among it, comes out of the
// budget. Nothing when the file is not a progressive JPEG this decoder takes (see
// parseProgressiveJpeg) or the budget is too small: libjpeg then decodes it.
// The rows are converted for the screen by rowColours, when given, as they are scaled.
[[nodiscard]] std::optional<QImage> decodeProgressiveJpeg(QByteArrayView file,
                                                          QSize fileSize,
                                                          int eighths,
                                                          const DecodePlan &plan,
                                                          const ColourTransform *rowColours,
                                                          MemoryBudget &budget);
