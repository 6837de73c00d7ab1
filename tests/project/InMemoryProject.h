#pragma once

#include "project/ProjectLists.h"
#include "project/ProjectWriter.h"

#include <QStringList>

// A project held in plain lists, standing in for a window's lists.
struct InMemoryProject final : ProjectLists
{
    void appendImageEntry(const QString &path, const QString &pause) override
    {
        images << path;
        pauses << pause;
    }
    void appendAudioPath(const QString &path) override { audio << path; }

    [[nodiscard]] ProjectSnapshot snapshot(int stretch = 0, int audioSwitch = 0) const
    {
        return {images, pauses, audio, stretch, audioSwitch};
    }

    QStringList images;
    QStringList pauses;
    QStringList audio;
};
