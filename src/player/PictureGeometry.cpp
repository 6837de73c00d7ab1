#include "player/PictureGeometry.h"

#include <cmath>

QPointF centredPosition(QSizeF item, QSizeF window)
{
    return {window.width() / 2.0 - item.width() / 2.0, window.height() / 2.0 - item.height() / 2.0};
}

QRect pictureAreaRect(QSize naturalSize, QSize window, PictureFit fit)
{
    if (fit == PictureFit::Stretch)
        return QRect(QPoint(0, 0), window);
    const QSize area = naturalSize.grownBy(
        {kPictureBorder, kPictureBorder, kPictureBorder, kPictureBorder});
    const QPointF position = centredPosition(area, window);
    // Rounding up keeps a cut-off picture's first visible column where the decoder's centred clip
    // starts, so no column of the screen is left without picture.
    return {QPoint(static_cast<int>(std::ceil(position.x())),
                   static_cast<int>(std::ceil(position.y()))),
            area};
}

PictureRequest pictureRequestFor(QSize window, PictureFit fit, qreal devicePixelRatio)
{
    if (fit == PictureFit::Stretch) {
        const QSize inside = window.shrunkBy(
            {kPictureBorder, kPictureBorder, kPictureBorder, kPictureBorder});
        const QSize device = (QSizeF(inside) * std::max<qreal>(devicePixelRatio, 1.0)).toSize();
        return {device.expandedTo({1, 1}), fit};
    }
    return {window, fit};
}
