#pragma once

#include <QLatin1StringView>
#include <QString>
#include <QStringView>

// The rules of the pause box Text1: which typed characters it takes and the longest pause it
// holds. The full stop is the decimal separator whatever the user's locale.

inline constexpr QLatin1StringView kMaximumPauseText{"65.53"};
// What the box holds when the editor opens and after New.
inline constexpr QLatin1StringView kStartPauseText{"3"};
inline constexpr int kPauseTextMaxLength = 5;

// Digits, the full stop and backspace pass; everything else typed is discarded.
[[nodiscard]] bool isPauseKeyAccepted(QChar typed);

// The digits and full stops of a text, in order: what typing it would have left.
[[nodiscard]] QString pauseCharactersOnly(QStringView text);

// Whether the leading number of the text (leading blanks skipped, digits with at most one full
// stop) is above 65.53. Compared digit by digit, so no rounding can let a larger value pass.
[[nodiscard]] bool exceedsMaximumPause(QStringView text);
