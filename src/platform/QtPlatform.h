#pragma once

#include "platform/EventPump.h"
#include "platform/PictureLoader.h"
#include "platform/PlatformServices.h"
#include "platform/QtFileChooser.h"
#include "platform/QtMessageBoxService.h"

// The real platform services of one program, owned in one place by its main().
class QtPlatform
{
public:
    explicit QtPlatform(const QString &applicationTitle);

    [[nodiscard]] PlatformServices services();

private:
    QtMessageBoxService m_messages;
    QtFileChooser m_files;
    ImageReaderPictureLoader m_pictures;
    QtEventPump m_events;
};
