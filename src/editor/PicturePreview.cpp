#include "editor/PicturePreview.h"

#include <QPainter>

PicturePreview::PicturePreview(QWidget *parent)
    : QFrame(parent)
{}

void PicturePreview::setPicture(const QImage &picture)
{
    m_picture = picture;
    update();
}

QSize PicturePreview::pictureBoxSize() const
{
    return contentsRect().size() * devicePixelRatioF();
}

void PicturePreview::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    if (m_picture.isNull())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(contentsRect(), m_picture);
}
