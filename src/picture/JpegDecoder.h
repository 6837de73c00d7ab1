#pragma once

#include "picture/PictureDecoding.h"

#include <QImage>
#include <QString>

#include <optional>

// Decodes a JPEG file into only what the plan asks for: scaled within the DCT to the smallest
// size at or above the one asked and averaged down to it on a second core while the decoding
// goes on, or just the rows and columns of the visible part. libjpeg-turbo decodes baseline
// files; progressive ones, scaled or cut, go to our own decoder (ProgressiveJpegDecoder), which
// keeps only the coefficients the screen needs. The picture comes in the file's own
// orientation, as Format_RGB32. Nothing when neither can take the file (CMYK, broken, too large
// for the memory limit): QImageReader then has its say.
[[nodiscard]] std::optional<QImage> decodeJpeg(const QString &path,
                                               const DecodePlan &plan,
                                               qint64 memoryLimitBytes);
