#pragma once

#include "platform/MediaPlayer.h"

class EventPump;
class FileChooser;
class MessageBoxService;
class PictureLoader;
class QObject;

// The outside world a window talks to. Tests hand in recording fakes; the programs the Qt ones.
struct PlatformServices
{
    MessageBoxService *messages = nullptr;
    FileChooser *files = nullptr;
    PictureLoader *pictures = nullptr;
    EventPump *events = nullptr;
    // The editor's audio preview.
    MediaPlayerFactory createMediaPlayer;
    // The player window's music.
    MediaPlayerFactory createMusicPlayer;
};
