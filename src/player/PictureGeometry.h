#pragma once

#include "picture/PictureLoader.h"

#include <QPointF>
#include <QRect>
#include <QSize>
#include <QSizeF>

// The picture area draws a single-line border around its picture.
inline constexpr int kPictureBorder = 1;

// Where an item of the given size sits when centred on the window, in floating point: an item
// larger than the window gets a negative position and is cut off equally on both sides.
[[nodiscard]] QPointF centredPosition(QSizeF item, QSizeF window);

// The picture area for a picture on a window of the given size: stretched, the whole window;
// otherwise the picture at its natural size plus the border, centred.
[[nodiscard]] QRect pictureAreaRect(QSize naturalSize, QSize window, PictureFit fit);

// What the picture decoder is asked for: a stretched picture fills the window inside the border,
// in device pixels so that a scaled (HiDPI) desktop shows it sharp; a natural-size one needs at
// most the window's size of it.
[[nodiscard]] PictureRequest pictureRequestFor(QSize window,
                                               PictureFit fit,
                                               qreal devicePixelRatio = 1.0);
