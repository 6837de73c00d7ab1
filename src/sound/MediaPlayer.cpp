#include "sound/MediaPlayer.h"

#include <cmath>

float linearVolumeFromHundredthsOfDecibel(int hundredths)
{
    if (hundredths >= 0)
        return 1.0F;
    return static_cast<float>(std::pow(10.0, hundredths / 2000.0));
}

void MediaPlayer::beginFailureScope()
{
    ++m_failureScope;
    m_failureReported = false;
}

void MediaPlayer::reportFailure(const QString &description)
{
    if (m_failureReported)
        return;
    m_failureReported = true;
    const quint64 scope = m_failureScope;
    QMetaObject::invokeMethod(
        this,
        [this, scope, description] {
            if (scope == m_failureScope)
                emit failed(description);
        },
        Qt::QueuedConnection);
}

void MediaPlayer::setPlaying(bool playing)
{
    if (m_playing == playing)
        return;
    m_playing = playing;
    emit playingChanged(playing);
}
