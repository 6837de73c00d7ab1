#include "picture/PictureDecoding.h"

#include "picture/MemoryBudget.h"

#include <QTransform>

#include <algorithm>

bool swapsAxes(QImageIOHandler::Transformations transformation)
{
    return transformation.testFlag(QImageIOHandler::TransformationRotate90);
}

namespace {

QSize oriented(QSize size, bool swap)
{
    return swap ? size.transposed() : size;
}

// The centred part of a picture of the given size that a screen of the given size shows.
QRect centredVisiblePart(QSize picture, QSize screen)
{
    const int width = std::min(picture.width(), screen.width());
    const int height = std::min(picture.height(), screen.height());
    return {(picture.width() - width) / 2, (picture.height() - height) / 2, width, height};
}

// Where a part of the upright picture lies in the file's own orientation: the file's rows are
// mirrored and flipped first, then turned a quarter clockwise, as uprightPicture does it.
QRect fileRectOf(QRect upright, QSize fileSize, QImageIOHandler::Transformations transformation)
{
    QRect turned = upright;
    if (swapsAxes(transformation))
        turned = QRect(upright.y(),
                       fileSize.height() - upright.x() - upright.width(),
                       upright.height(),
                       upright.width());
    if (transformation.testFlag(QImageIOHandler::TransformationMirror))
        turned.moveLeft(fileSize.width() - turned.x() - turned.width());
    if (transformation.testFlag(QImageIOHandler::TransformationFlip))
        turned.moveTop(fileSize.height() - turned.y() - turned.height());
    return turned;
}

} // namespace

DecodePlan planDecode(QSize fileSize,
                      QImageIOHandler::Transformations transformation,
                      const PictureRequest &request)
{
    const bool swap = swapsAxes(transformation);
    DecodePlan plan;
    plan.naturalSize = oriented(fileSize, swap);
    if (!fileSize.isValid() || request.screenSize.isEmpty())
        return plan;

    if (request.fit == PictureFit::Stretch) {
        if (plan.naturalSize != request.screenSize)
            plan.scaledSize = oriented(request.screenSize, swap);
        return plan;
    }

    const QRect visible = centredVisiblePart(plan.naturalSize, request.screenSize);
    if (visible.size() != plan.naturalSize) {
        plan.visibleOffset = visible.topLeft();
        plan.clipRect = fileRectOf(visible, fileSize, transformation);
    }
    return plan;
}

std::optional<QImage> uprightPicture(QImage image,
                                     QImageIOHandler::Transformations transformation,
                                     MemoryBudget &budget)
{
    if (transformation == QImageIOHandler::TransformationNone)
        return image;
    if (!budget.take(image.sizeInBytes()))
        return std::nullopt;
    image = image.mirrored(transformation.testFlag(QImageIOHandler::TransformationMirror),
                           transformation.testFlag(QImageIOHandler::TransformationFlip));
    if (swapsAxes(transformation))
        image = image.transformed(QTransform().rotate(90));
    if (image.isNull())
        return std::nullopt;
    return image;
}
