#pragma once

#include <QSize>
#include <QString>

#include <functional>

class PictureLoader;
struct ShowListing;

struct ExportSettings
{
    QSize size{1920, 1080};
    int framesPerSecond = 25;
};

struct ExportOutcome
{
    enum class Kind { Exported, Cancelled, Failed };
    Kind kind = Kind::Exported;
    QString message; // why the export failed
};

struct ExportCallbacks
{
    // How much of the video is done, from 0 to 1; called on the exporting thread.
    std::function<void(double fraction)> progress;
    // Asked often; true ends the export without a file.
    std::function<bool()> cancelled;
};

// Writes one pass through the show as an MP4 video (H.264 and AAC, index at the front): a
// second of black, each picture for its pause as the player shows it on a screen of the video's
// size, the music from the start in a loop, fading out over the last second. Each picture is
// decoded and converted once, the next one while the current one is encoded. The video appears
// under the target's name only when it is complete; a failure or a cancel leaves nothing.
// Blocks until done; the loader is used from one other thread at a time.
[[nodiscard]] ExportOutcome exportVideo(const ShowListing &show,
                                        const QString &targetPath,
                                        const ExportSettings &settings,
                                        PictureLoader &pictures,
                                        const ExportCallbacks &callbacks);
