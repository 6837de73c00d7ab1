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
