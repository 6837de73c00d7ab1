#pragma once

#include "forms/Twips.h"

#include <QColor>
#include <QFont>
#include <QRect>
#include <QSize>
#include <QString>

class QWidget;

// The tools the editor's windows are built with: controls placed in twips with their designer
// names and tips, Tahoma captions, palette colours and centring on the screen.

// A colour written as &H00BBGGRR.
[[nodiscard]] constexpr QColor colourFromBgr(unsigned bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

// Tahoma 8.25 pt where installed, else the closest font the system substitutes.
[[nodiscard]] QFont tahoma(bool bold = false);

// Gives a control its designer name, its place on its parent in twips, the name assistive tools
// read out and the tip shown when the mouse rests on it (also read out, as its description).
template<typename Control>
Control *place(Control *control,
               const char *name,
               const QRect &twips,
               const QString &accessibleName,
               const QString &toolTip = {})
{
    control->setObjectName(QLatin1String(name));
    control->setGeometry(twipsRect(twips));
    control->setAccessibleName(accessibleName);
    if (!toolTip.isEmpty()) {
        control->setToolTip(toolTip);
        if (toolTip != accessibleName)
            control->setAccessibleDescription(toolTip);
    }
    return control;
}

// Narrows the font of a label or check box whose caption would not fit its box, as happens
// where a wider font stands in for a missing Tahoma.
void condenseToFit(QWidget &control);

// Fills the widget's background with the colour.
void setBackground(QWidget &widget, const QColor &colour);
// The colour of the widget's own text: captions, list rows and text boxes alike.
void setTextColour(QWidget &widget, const QColor &colour);
// The background of list and text boxes.
void setBaseColour(QWidget &widget, const QColor &colour);
void setButtonColour(QWidget &widget, const QColor &colour);
// One colour for the whole face of a box, list or button, and one for its text.
void setColours(QWidget &widget, const QColor &background, const QColor &text);

// Where a window of the given size sits when centred in the available screen area.
[[nodiscard]] QRect centredRect(QSize size, const QRect &screenArea);
// Centres a top-level window on the screen it will open on.
void centreOnScreen(QWidget &window);
