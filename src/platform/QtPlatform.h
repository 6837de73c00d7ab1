#pragma once

#include "platform/EventPump.h"
#include "platform/PlatformServices.h"
#include "platform/QtFileChooser.h"
#include "platform/QtMessageBoxService.h"

// The real operating-system services of one program, owned in one place by its main(), which
// adds how the program decodes pictures and plays sound.
class QtPlatform
{
public:
    explicit QtPlatform(const QString &applicationTitle);

    // Without a preview player of its own, the editor's preview is a music player too.
    [[nodiscard]] PlatformServices services(PictureLoader &pictures,
                                            MediaPlayerFactory createMusicPlayer,
                                            MediaPlayerFactory createPreviewPlayer = {});

private:
    QtMessageBoxService m_messages;
    QtFileChooser m_files;
    QtEventPump m_events;
};
