#include "editor/SelectorLabel.h"

#include <QMouseEvent>

void SelectorLabel::mouseReleaseEvent(QMouseEvent *event)
{
    QLabel::mouseReleaseEvent(event);
    // Like a button: a press released outside the label is no click.
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}
