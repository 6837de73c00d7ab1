#pragma once

#include "project/ShowSwitches.h"

#include <QString>
#include <QStringView>

#include <optional>

// The per-image timer counts milliseconds in 16 bits.
inline constexpr int kLongestIntervalMs = 65535;

// The timer interval for a pause text: the seconds times 1000 as whole milliseconds; nothing for
// a text that is not a number or an interval outside 0 to 65535 ms (a negative pause, 66 s).
[[nodiscard]] std::optional<int> timerIntervalForPause(QStringView pauseText);
