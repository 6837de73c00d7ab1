#pragma once

#include <functional>

class EventPump;
class FileChooser;
class MediaPlayer;
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
    std::function<MediaPlayer *(QObject *parent)> createMediaPlayer;
};
