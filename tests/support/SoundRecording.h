#pragma once

#include <QList>
#include <QtGlobal>

#include <optional>

// What a program plays to the sound server, recorded from its own playback stream so that no
// other program's sound counts: 16-bit mono samples at kTestSoundRate.

// The index of the sound server's playback stream that the process plays into, if any.
[[nodiscard]] std::optional<int> playbackStreamOf(qint64 pid);
// Records one playback stream for the given time.
[[nodiscard]] QList<qint16> recordStream(int stream, int milliseconds);
// Waits up to timeoutMs for the process to play, then records what it plays for the given time,
// again while sound fills less than three quarters of the recording; nothing when it never plays.
[[nodiscard]] QList<qint16> recordProcess(qint64 pid, int milliseconds, int timeoutMs = 15000);

// The samples from the first to the last that is clearly not silence: a stream starts and ends
// with a little silence around what was played.
[[nodiscard]] QList<qint16> audiblePart(const QList<qint16> &samples);
// The longest quiet stretch between the first and the last sound, in milliseconds: a steady tone
// passes zero in one sample, so anything longer is a gap in the music.
[[nodiscard]] double longestSilenceMs(const QList<qint16> &samples);

// The longest break a test lets the music make. Under ASan the player runs several times slower
// and shares two cores with another on-screen test, and breaks of up to 200 ms came from that
// alone; the release run holds the music to the tight bound. A file left out still shows.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr double kLongestMusicBreakMs = 400.0;
#else
inline constexpr double kLongestMusicBreakMs = 100.0;
#endif
// Which of the tones plays, in order, from 50 ms pieces of the recording; a tone counts once it
// lasts 150 ms, so the piece where one tone gives way to the next cannot pass for a third.
[[nodiscard]] QList<int> toneOrder(const QList<qint16> &samples, const QList<double> &tones);
