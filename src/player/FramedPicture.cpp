#include "player/FramedPicture.h"

#include "player/PictureGeometry.h"

#include <QColor>
#include <QPainter>

namespace {

// A thin line that frames the picture and stays visible on the black window.
constexpr QRgb kBorderColour = 0xff808080;

} // namespace

QRect pictureTargetRect(QSize areaSize, QSize imageSize, QPoint visibleOffset, PictureFit fit)
{
    const QRect inside = QRect(QPoint(0, 0), areaSize)
                             .adjusted(kPictureBorder,
                                       kPictureBorder,
                                       -kPictureBorder,
                                       -kPictureBorder);
    return fit == PictureFit::Stretch ? inside : QRect(inside.topLeft() + visibleOffset, imageSize);
}

void paintFramedPicture(QPainter &painter, const QImage &image, QRect target, QSize areaSize)
{
    if (image.size() == target.size()) {
        painter.drawImage(target.topLeft(), image);
    } else if (!image.isNull()) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(target, image);
    }
    painter.setPen(QColor::fromRgb(kBorderColour));
    painter.drawRect(QRect(QPoint(0, 0), areaSize).adjusted(0, 0, -1, -1));
}
