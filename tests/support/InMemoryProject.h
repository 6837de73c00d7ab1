#pragma once

#include "project/ProjectLists.h"
#include "project/ProjectWriter.h"

#include <QStringList>

#include <gtest/gtest.h>

// A project held in plain lists, standing in for a window's lists (List1, List2 and List3). Checks
// on every append that the images and their pauses have stayed row for row in step.
struct InMemoryProject final : ProjectLists
{
    void appendImageEntry(const QString &path, const QString &pause) override
    {
        EXPECT_EQ(images.size(), pauses.size()) << "image and pause lists out of step";
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
