#pragma once

#include "platform/EventPump.h"
#include "platform/PictureLoader.h"
#include "platform/PlatformServices.h"
#include "platform/QtFileChooser.h"
#include "platform/QtMessageBoxService.h"

// The real platform services of one program, owned in one place by its main(). The music plays
// through GStreamer; the editor hands in its audio preview player, which otherwise is the music
// player too.
class QtPlatform
{
public:
    explicit QtPlatform(const QString &applicationTitle,
                        MediaPlayerFactory createPreviewPlayer = {});

    [[nodiscard]] PlatformServices services();

private:
    QtMessageBoxService m_messages;
    QtFileChooser m_files;
    ImageReaderPictureLoader m_pictures;
    QtEventPump m_events;
    MediaPlayerFactory m_createPreviewPlayer;
};
