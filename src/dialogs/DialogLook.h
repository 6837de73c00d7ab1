#pragma once

#include <QColor>
#include <QRect>
#include <QSize>

class QWidget;

// The dialogs were laid out in twips; 15 twips make one logical pixel at 96 dpi.
[[nodiscard]] constexpr int twipsToPixels(int twips)
{
    return (twips + 7) / 15;
}

// Left, top, width and height given in twips.
[[nodiscard]] constexpr QRect twipsRect(int left, int top, int width, int height)
{
    return {twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height)};
}

[[nodiscard]] constexpr QSize twipsSize(int width, int height)
{
    return {twipsToPixels(width), twipsToPixels(height)};
}

// A colour written as &H00BBGGRR.
[[nodiscard]] constexpr QColor colourFromBgr(unsigned bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

// Where a window of the given size sits when centred in the available screen area.
[[nodiscard]] QRect centredRect(QSize size, const QRect &screenArea);

// Tahoma 8.25 pt where installed, the closest match otherwise.
void setDialogFont(QWidget *widget, bool bold = false);
void setBackground(QWidget *widget, const QColor &colour);
void setTextColours(QWidget *widget, const QColor &background, const QColor &text);
// Centres a top-level window on the screen it will open on.
void centreOnScreen(QWidget *window);
