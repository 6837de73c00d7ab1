#pragma once

#include <QColor>
#include <QFont>
#include <QIcon>

class QWidget;

// The editor's colours and fonts.
namespace EditorLook {

inline const QColor kWindowGreen{0, 192, 0};
inline const QColor kDarkGreen{0, 128, 0}; // lists and the selected panel's selector
inline const QColor kDisplayGreen{192, 255, 192};
inline const QColor kButtonGrey{192, 192, 192};

// Tahoma 8.25 pt where installed, else the closest font the system substitutes.
[[nodiscard]] QFont tahoma(bool bold);

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

// The program's icon in the sizes a title bar and a task bar ask for.
[[nodiscard]] QIcon windowIcon();

} // namespace EditorLook
