#pragma once

#include <QByteArray>
#include <QColor>
#include <QSize>
#include <QString>

// Small helpers for tests that work with real files on disk.
QByteArray readFileBytes(const QString &path);
void writeFileBytes(const QString &path, const QByteArray &bytes);
// Writes a picture of one colour; the format follows the file's extension (.heic and .avif too).
void writePicture(const QString &path, QSize size, QColor colour = Qt::red);
// A named pipe (FIFO) at the path; returns the path. Opening one for reading blocks until a
// writer comes.
QString makePipe(const QString &path);
// A short sine tone as a 16-bit mono WAV file.
void writeToneWav(const QString &path, int milliseconds, int frequencyHz = 440);
// A video of one colour with a sine tone as its sound track, or none at a frequency of 0, made
// with ffmpeg in the container and codecs its extension names: .mp4 (H.264, AAC), .avi (MPEG-4,
// MP3), .wmv (WMV, WMA) or .mpg (MPEG-1, MP2). False when ffmpeg fails.
[[nodiscard]] bool writeToneVideo(const QString &path,
                                  int milliseconds,
                                  int frequencyHz,
                                  QColor colour = Qt::green);
