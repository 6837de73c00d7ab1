#include "platform/QtPlatform.h"

#include "platform/GstMusicPlayer.h"

QtPlatform::QtPlatform(const QString &applicationTitle, MediaPlayerFactory createPreviewPlayer)
    : m_messages(applicationTitle)
    , m_createPreviewPlayer(std::move(createPreviewPlayer))
{}

PlatformServices QtPlatform::services()
{
    MediaPlayerFactory createMusicPlayer = [](QObject *parent) -> MediaPlayer * {
        return new GstMusicPlayer(parent);
    };
    MediaPlayerFactory createPreviewPlayer = m_createPreviewPlayer ? m_createPreviewPlayer
                                                                   : createMusicPlayer;
    return {&m_messages,
            &m_files,
            &m_pictures,
            &m_events,
            std::move(createPreviewPlayer),
            std::move(createMusicPlayer)};
}
