#pragma once

#include <QString>

// How the player reads the two switch lines. Pictures are stretched only for a stretch text of
// exactly "1"; "1.0" or "2" mean off.
[[nodiscard]] bool isStretchOn(const QString &StretchSetting);

// Music plays when the audio text reads as the number 1, so "1" and "1.0" both mean on; an empty
// or non-numeric text means off.
[[nodiscard]] bool isAudioOn(const QString &AudioSetting);
