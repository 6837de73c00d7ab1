#pragma once

#include <QList>
#include <QtGlobal>

// What a test can tell about recorded or decoded sound: 16-bit mono samples at 22050 Hz.
inline constexpr int kTestSoundRate = 22050;

// The tone's frequency from its zero crossings, in Hz.
[[nodiscard]] double toneFrequency(const QList<qint16> &samples);
// The root mean square of the samples.
[[nodiscard]] double loudness(const QList<qint16> &samples);
