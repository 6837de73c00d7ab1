#pragma once

#include "picture/ColourTransform.h"
#include "picture/EncodedPicture.h"
#include "picture/MemoryBudget.h"
#include "picture/PictureDecoding.h"

#include <optional>

// Decodes a JPEG into only what the request shows, upright as its EXIF orientation says: scaled
// within the DCT to the smallest size at or above the one needed and averaged down to it on a
// second core while the decoding goes on, or just the rows and columns of the visible part.
// libjpeg-turbo decodes baseline files; progressive ones, scaled or cut, go to our own decoder
// (ProgressiveJpegDecoder), which keeps only the coefficients the screen needs, and to libjpeg
// where it cannot take them. A CMYK picture with a CMYK colour profile (profile, as the file
// carries it) is decoded by libjpeg too, its rows converted for the request's screen as they come.
// Nothing when libjpeg cannot take the file (CMYK without a profile, broken, larger than the
// budget): Qt's reader then has its say.
[[nodiscard]] std::optional<LoadedPicture> decodeJpegPicture(const EncodedPicture &picture,
                                                             const PictureRequest &request,
                                                             const std::optional<QByteArray> &profile,
                                                             MemoryBudget &budget);
