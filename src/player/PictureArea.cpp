#include "player/PictureArea.h"

#include "player/FramedPicture.h"

#include <QPaintEvent>
#include <QPainter>

PictureArea::PictureArea(QWidget *parent)
    : QWidget(parent)
{
    // Pictures with transparent parts show the window's black behind them.
    setAttribute(Qt::WA_NoSystemBackground);
}

void PictureArea::showPicture(LoadedPicture picture, const QRect &areaGeometry, PictureFit fit)
{
    m_image = std::move(picture.image);
    // Premultiplied once here, so painting never converts the picture again.
    if (m_image.hasAlphaChannel() && m_image.format() != QImage::Format_ARGB32_Premultiplied)
        m_image.convertTo(QImage::Format_ARGB32_Premultiplied);
    m_target = pictureTargetRect(areaGeometry.size(), m_image.size(), picture.visibleOffset, fit);
    setGeometry(areaGeometry);
    update();
}

void PictureArea::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.setClipRegion(event->region());
    paintFramedPicture(painter, m_image, m_target, size());
}
