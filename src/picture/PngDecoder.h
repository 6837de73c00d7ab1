#pragma once

#include "picture/PictureDecoding.h"

#include <QImage>
#include <QString>

#include <optional>

// Decodes a PNG file straight into only what the plan asks for: the rows are inflated on one
// core while a second one unfilters them and scales them into the screen-sized picture (or
// keeps the visible part), and inflating stops after the last visible row. Takes 8- and 16-bit
// grey, RGB and palette pictures with or without alpha, not interlaced; the picture comes as
// Format_RGB32, or premultiplied ARGB32 when it has transparency. Nothing for any other PNG,
// or one that is broken or too large for the memory limit: QImageReader then has its say.
[[nodiscard]] std::optional<QImage> decodePng(const QString &path,
                                              const DecodePlan &plan,
                                              qint64 memoryLimitBytes);
