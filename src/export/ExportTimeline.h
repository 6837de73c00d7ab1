#pragma once

#include "player/ShowCheck.h"

#include <QList>
#include <QtGlobal>

#include <optional>

struct ShowListing;

// Black before the first picture, as the player's start delay.
inline constexpr qint64 kLeadInMs = 1000;
// A picture with the pause 0 waits for a click in the player; a video holds it this long and
// ends with it.
inline constexpr qint64 kHeldPictureMs = 5000;
// The music fades out over the video's last second.
inline constexpr qint64 kMusicFadeMs = 1000;

// One picture's time in the video.
struct TimelinePicture
{
    int index = 0; // into ShowListing::pictures
    qint64 startMs = 0;
    qint64 durationMs = 0;
};

// One pass through the show: a second of black, then each picture for its pause, up to and
// including the first picture that would wait for a click.
struct ExportTimeline
{
    QList<TimelinePicture> pictures;
    qint64 durationMs = 0;
};

struct TimelinePlan
{
    ExportTimeline timeline;
    std::optional<ShowProblem> problem; // what stops the show from being exported
};

// Lays the show out in time. A pause the player's timer cannot count, or a show without
// pictures, is a problem with the line that causes it.
[[nodiscard]] TimelinePlan planTimeline(const ShowListing &show);

// The first frame at or after a time, at a whole number of frames per second.
[[nodiscard]] qint64 frameAt(qint64 milliseconds, int framesPerSecond);
