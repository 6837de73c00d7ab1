#include "platform/QtPlatform.h"

#include "platform/QtMediaPlayer.h"

QtPlatform::QtPlatform(const QString &applicationTitle)
    : m_messages(applicationTitle)
{}

PlatformServices QtPlatform::services()
{
    return {&m_messages, &m_files, &m_pictures, &m_events, [](QObject *parent) -> MediaPlayer * {
                return new QtMediaPlayer(parent);
            }};
}
