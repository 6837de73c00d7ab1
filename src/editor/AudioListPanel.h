#pragma once

#include "platform/CommonDialog.h"
#include "project/PathText.h"

#include <QObject>
#include <QStringList>

class EventPump;
class MainForm;
class MediaPlayer;
class MessageBoxService;
struct PlatformServices;

// The audio entries in List3, the path display Text2 and the preview player MP1, which gets
// the selected file but waits for the user to play it.
class AudioListPanel final : public QObject
{
    Q_OBJECT

public:
    // The preview finds "%CurDir" names where a show would find them.
    AudioListPanel(MainForm &form,
                   const PlatformServices &services,
                   MediaPlayer &preview,
                   CurDirFoldersSource folders);

    void addAudio();
    void removeAudio();

    void appendPath(const QString &path);
    void clearPaths();
    [[nodiscard]] QStringList paths() const;

private:
    void previewSelectedAudio();
    void letEventsRun();

    MainForm &m_form;
    EventPump *m_events;
    MessageBoxService &m_messages;
    MediaPlayer &m_preview;
    CurDirFoldersSource m_folders;
    CommonDialog CD2; // "Add Audio File"
};
