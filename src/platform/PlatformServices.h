#pragma once

#include <functional>

class EventPump;
class FileChooser;
class MediaPlayer;
class MessageBoxService;
class PictureLoader;
class QObject;

// Makes a media player owned by the parent given.
using MediaPlayerFactory = std::function<MediaPlayer *(QObject *parent)>;

// The outside world a window talks to: the operating system's message boxes, file dialogs and
// event pump, and the picture decoding and sound players the program runs on. Tests hand in
// recording fakes; the programs the real ones.
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
