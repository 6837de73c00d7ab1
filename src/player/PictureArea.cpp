#include "player/PictureArea.h"

#include "player/PictureGeometry.h"

#include <QPaintEvent>
#include <QPainter>

namespace {

// A thin line that frames the picture and stays visible on the black window.
constexpr QRgb kBorderColour = 0xff808080;

} // namespace

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
    const QRect inside = QRect(QPoint(0, 0), areaGeometry.size())
                             .adjusted(kPictureBorder,
                                       kPictureBorder,
                                       -kPictureBorder,
                                       -kPictureBorder);
    m_target = fit == PictureFit::Stretch
                   ? inside
                   : QRect(inside.topLeft() + picture.visibleOffset, m_image.size());
    setGeometry(areaGeometry);
    update();
}

void PictureArea::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.setClipRegion(event->region());
    if (m_image.size() == m_target.size()) {
        painter.drawImage(m_target.topLeft(), m_image);
    } else if (!m_image.isNull()) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(m_target, m_image);
    }
    painter.setPen(QColor::fromRgb(kBorderColour));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}
