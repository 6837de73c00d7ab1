#pragma once

#include "platform/PictureLoader.h"

#include <QImage>
#include <QRect>
#include <QSize>
#include <QWidget>

// The picture area (Image1): shows one picture inside a single-line border, either the whole
// picture or only the part of it that the screen shows. It keeps no other picture.
class PictureArea final : public QWidget
{
    Q_OBJECT

public:
    explicit PictureArea(QWidget *parent = nullptr);

    // Replaces the picture and places the area; the old picture stays on screen until this call.
    void showPicture(LoadedPicture picture, const QRect &areaGeometry, PictureFit fit);

    // The size of the decoded part that is kept, which is at most what the screen shows.
    [[nodiscard]] QSize heldImageSize() const { return m_image.size(); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage m_image;
    QRect m_target; // where m_image is drawn, in the area's coordinates
};
