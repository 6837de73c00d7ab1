#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <vector>

// The bytes of a WAV file of 16-bit mono PCM samples, as every sound program reads it: the
// demo show's melody and the tests' tones are written with it.
[[nodiscard]] inline QByteArray monoWavFile(const std::vector<qint16> &samples, int sampleRate)
{
    const auto append = [](QByteArray &bytes, quint32 value, int size) {
        for (int i = 0; i < size; ++i)
            bytes.append(static_cast<char>((value >> (8 * i)) & 0xFF));
    };
    const quint32 dataBytes = quint32(samples.size() * 2);
    QByteArray wav("RIFF");
    append(wav, 36 + dataBytes, 4);
    wav += "WAVEfmt ";
    append(wav, 16, 4);
    append(wav, 1, 2); // PCM
    append(wav, 1, 2); // mono
    append(wav, quint32(sampleRate), 4);
    append(wav, quint32(sampleRate) * 2, 4);
    append(wav, 2, 2);
    append(wav, 16, 2);
    wav += "data";
    append(wav, dataBytes, 4);
    for (const qint16 sample : samples)
        append(wav, static_cast<quint16>(sample), 2);
    return wav;
}

// A sample of -1 to 1 as 16 bits.
[[nodiscard]] inline qint16 sixteenBitSample(double value)
{
    return static_cast<qint16>(value * 32767);
}
