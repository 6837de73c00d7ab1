#include "export/ExportTimeline.h"

#include "player/ShowSettings.h"
#include "project/ShowListing.h"

TimelinePlan planTimeline(const ShowListing &show)
{
    TimelinePlan plan;
    if (show.pictures.isEmpty()) {
        plan.problem = ShowProblem{ShowProblem::Kind::NoPictures, 0, {}, {}};
        return plan;
    }
    qint64 time = kLeadInMs;
    for (int i = 0; i < show.pictures.size(); ++i) {
        const ListedPicture &picture = show.pictures.at(i);
        const std::optional<int> interval = timerIntervalForPause(picture.pause);
        if (!interval) {
            plan.problem = ShowProblem{ShowProblem::Kind::PauseOutOfRange,
                                       picture.line,
                                       picture.path,
                                       QStringLiteral("%1 seconds").arg(picture.pause)};
            return plan;
        }
        const qint64 duration = *interval == 0 ? kHeldPictureMs : *interval;
        plan.timeline.pictures.append({i, time, duration});
        time += duration;
        if (*interval == 0)
            break;
    }
    plan.timeline.durationMs = time;
    return plan;
}

qint64 frameAt(qint64 milliseconds, int framesPerSecond)
{
    return (milliseconds * framesPerSecond + 999) / 1000;
}
