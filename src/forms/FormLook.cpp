#include "forms/FormLook.h"

#include <QGuiApplication>
#include <QPalette>
#include <QScreen>
#include <QWidget>

QFont tahoma(bool bold)
{
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSizeF(8.25);
    font.setBold(bold);
    return font;
}

void condenseToFit(QWidget &control)
{
    for (const int stretch : {QFont::SemiCondensed, QFont::Condensed, QFont::ExtraCondensed}) {
        if (control.sizeHint().width() <= control.width())
            return;
        QFont font = control.font();
        font.setStretch(stretch);
        control.setFont(font);
    }
}

void setBackground(QWidget &widget, const QColor &colour)
{
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Window, colour);
    widget.setPalette(palette);
    widget.setAutoFillBackground(true);
}

void setTextColour(QWidget &widget, const QColor &colour)
{
    QPalette palette = widget.palette();
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::Text, colour);
    palette.setColor(QPalette::ButtonText, colour);
    widget.setPalette(palette);
}

void setBaseColour(QWidget &widget, const QColor &colour)
{
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Base, colour);
    widget.setPalette(palette);
}

void setButtonColour(QWidget &widget, const QColor &colour)
{
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Button, colour);
    palette.setColor(QPalette::Window, colour);
    widget.setPalette(palette);
}

void setColours(QWidget &widget, const QColor &background, const QColor &text)
{
    setBackground(widget, background);
    setBaseColour(widget, background);
    setButtonColour(widget, background);
    setTextColour(widget, text);
}

QRect centredRect(QSize size, const QRect &screenArea)
{
    const QPoint topLeft(screenArea.left() + (screenArea.width() - size.width()) / 2,
                         screenArea.top() + (screenArea.height() - size.height()) / 2);
    return {topLeft, size};
}

void centreOnScreen(QWidget &window)
{
    const QScreen *screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    window.move(centredRect(window.frameGeometry().size(), screen->availableGeometry()).topLeft());
}
