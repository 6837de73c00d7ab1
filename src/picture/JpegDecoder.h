#pragma once

#include "picture/EncodedPicture.h"
#include "picture/MemoryBudget.h"
#include "picture/PictureDecoding.h"

#include <optional>

// Decodes a JPEG into only what the request shows, upright as its EXIF orientation says: scaled
// within the DCT to the smallest size at or above the one needed and averaged down to it on a
// second core while the decoding goes on, or just the rows and columns of the visible part.
// libjpeg-turbo decodes baseline files; progressive ones, scaled or cut, go to our own decoder
// (ProgressiveJpegDecoder), which keeps only the coefficients the screen needs, and to libjpeg
// where it cannot take them. Nothing when libjpeg cannot take the file (CMYK, broken, larger than
// the budget): Qt's reader then has its say.
[[nodiscard]] std::optional<LoadedPicture> decodeJpegPicture(const EncodedPicture &picture,
                                                             const PictureRequest &request,
                                                             MemoryBudget &budget);
