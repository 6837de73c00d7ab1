#pragma once

#include "picture/ColourTransform.h"
#include "picture/EncodedPicture.h"
#include "picture/MemoryBudget.h"
#include "picture/PictureDecoding.h"

#include <optional>

// Decodes a PNG straight into only what the request shows: the rows are inflated on one core
// while a second one unfilters them and scales them into the screen-sized picture (or keeps the
// visible part). Takes every PNG libpng takes, and shows it as libpng shows it: every colour type
// and bit depth, interlaced or not, palette transparency and colour keys, 16-bit samples rounded
// to 8 bits; the chunks, their check sums and the image data's end are checked as libpng checks
// them, so a file libpng refuses is refused here too. The picture comes as Format_RGB32, or
// premultiplied ARGB32 when it has transparency. An interlaced picture is put together whole
// first. Nothing for a file libpng refuses, or one larger than the budget.
// An opaque picture that is not interlaced comes with its colours converted from its profile
// (profile, as the file carries it) for the request's screen; the caller converts the others.
[[nodiscard]] std::optional<LoadedPicture> decodePngPicture(const EncodedPicture &picture,
                                                            const PictureRequest &request,
                                                            const std::optional<QByteArray> &profile,
                                                            MemoryBudget &budget);
