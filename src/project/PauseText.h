#pragma once

#include <QLatin1StringView>
#include <QString>
#include <QStringView>

// The pause a project reader stores for a pause text: the nearest whole number of seconds (a half
// goes to the even neighbour), or "3" when the text is missing, not a decimal number, or the
// rounded value does not fit a signed 32-bit integer.
[[nodiscard]] QString roundPauseText(QStringView pauseText);

inline constexpr QLatin1StringView kDefaultPause{"3"};
