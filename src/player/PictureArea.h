#pragma once

#include "picture/PictureLoader.h"

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

    // Lets go of the picture while the screen still shows it, so that it and the next one are
    // never held at once; the area paints empty if it must paint before the next one comes.
    void releasePicture() { m_image = QImage(); }

    // The size of the decoded part that is kept, which is at most what the screen shows.
    [[nodiscard]] QSize heldImageSize() const { return m_image.size(); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage m_image;
    QRect m_target; // where m_image is drawn, in the area's coordinates
};
