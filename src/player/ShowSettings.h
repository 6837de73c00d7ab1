#pragma once

#include <QString>
#include <QStringView>

#include <optional>

// Pictures are stretched only for a stretch text of exactly "1"; "1.0" or "2" mean off.
[[nodiscard]] bool isStretchOn(const QString &StretchSetting);

// Music plays when the audio text reads as the number 1, so "1" and "1.0" both mean on; an empty
// or non-numeric text means off.
[[nodiscard]] bool isAudioOn(const QString &AudioSetting);

// The per-image timer counts milliseconds in 16 bits.
inline constexpr int kLongestIntervalMs = 65535;

// The timer interval for a pause text: the seconds times 1000 as whole milliseconds; nothing for
// a text that is not a number or an interval outside 0 to 65535 ms (a negative pause, 66 s).
[[nodiscard]] std::optional<int> timerIntervalForPause(QStringView pauseText);
