#include "platform/QtPlatform.h"

QtPlatform::QtPlatform(const QString &applicationTitle)
    : m_messages(applicationTitle)
{}

PlatformServices QtPlatform::services(PictureLoader &pictures,
                                      MediaPlayerFactory createMusicPlayer,
                                      MediaPlayerFactory createPreviewPlayer)
{
    if (!createPreviewPlayer)
        createPreviewPlayer = createMusicPlayer;
    return {&m_messages,
            &m_files,
            &pictures,
            &m_events,
            std::move(createPreviewPlayer),
            std::move(createMusicPlayer)};
}
