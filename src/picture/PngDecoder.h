#pragma once

#include "picture/EncodedPicture.h"
#include "picture/MemoryBudget.h"
#include "picture/PictureDecoding.h"

#include <optional>

// Decodes a PNG straight into only what the request shows: the rows are inflated on one core
// while a second one unfilters them and scales them into the screen-sized picture (or keeps the
// visible part), and inflating stops after the last visible row. Takes 8- and 16-bit grey, RGB
// and palette pictures with or without alpha, not interlaced; the picture comes as Format_RGB32,
// or premultiplied ARGB32 when it has transparency. Nothing for any other PNG, or one that is
// broken or larger than the budget: Qt's reader then has its say.
[[nodiscard]] std::optional<LoadedPicture> decodePngPicture(const EncodedPicture &picture,
                                                            const PictureRequest &request,
                                                            MemoryBudget &budget);
