#include "SoundSamples.h"

#include <cmath>

double toneFrequency(const QList<qint16> &samples)
{
    int crossings = 0;
    for (qsizetype i = 1; i < samples.size(); ++i) {
        if ((samples.at(i - 1) < 0) != (samples.at(i) < 0))
            ++crossings;
    }
    return samples.isEmpty()
               ? 0.0
               : crossings / 2.0 / (static_cast<double>(samples.size()) / kTestSoundRate);
}

double loudness(const QList<qint16> &samples)
{
    double sum = 0;
    for (const qint16 sample : samples)
        sum += static_cast<double>(sample) * sample;
    return samples.isEmpty() ? 0.0 : std::sqrt(sum / static_cast<double>(samples.size()));
}
