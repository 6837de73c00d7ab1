#pragma once

#include "picture/PictureLoader.h"

#include <QImage>
#include <QRect>
#include <QSize>

class QPainter;

// How the picture area looks inside: the picture where the player puts it and the thin grey
// frame around the area. The player's window and the video export paint with it, so a video
// shows what the screen would.

// Where the decoded part of a picture is drawn, in the area's own coordinates: stretched, the
// whole area inside the frame; otherwise at its place within the whole picture.
[[nodiscard]] QRect pictureTargetRect(QSize areaSize,
                                      QSize imageSize,
                                      QPoint visibleOffset,
                                      PictureFit fit);

// Paints the picture into its target and the frame along the area's edge; the painter's origin
// is the area's top left corner.
void paintFramedPicture(QPainter &painter, const QImage &image, QRect target, QSize areaSize);
