#pragma once

#include <QColor>
#include <QIcon>

// The editor window's colours and icon.
namespace EditorLook {

inline const QColor kWindowGreen{0, 192, 0};
inline const QColor kDarkGreen{0, 128, 0}; // lists and the selected panel's selector
inline const QColor kDisplayGreen{192, 255, 192};
inline const QColor kButtonGrey{192, 192, 192};

// The program's icon in the sizes a title bar and a task bar ask for.
[[nodiscard]] QIcon windowIcon();

} // namespace EditorLook
