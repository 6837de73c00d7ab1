#include "editor/PanelFrame.h"

#include <QPainter>
#include <qdrawutil.h>

namespace {

constexpr int kTitleIndent = 8;
constexpr int kTitlePadding = 2;

} // namespace

PanelFrame::PanelFrame(const QString &title, QWidget *parent)
    : QWidget(parent)
    , m_title(title)
{}

void PanelFrame::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QFontMetrics metrics(font());
    const int borderTop = metrics.height() / 2;
    qDrawShadeRect(&painter, QRect(0, borderTop, width(), height() - borderTop), palette(), true, 1);

    // The caption interrupts the border's top edge.
    const QRect title(kTitleIndent,
                      0,
                      metrics.horizontalAdvance(m_title) + 2 * kTitlePadding,
                      metrics.height());
    painter.fillRect(title, palette().color(QPalette::Window));
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(title, Qt::AlignCenter, m_title);
}
