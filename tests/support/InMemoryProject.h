#pragma once

#include "project/ListedProject.h"

#include <gtest/gtest.h>

// A project held in plain lists, standing in for a window's lists, that checks on every append
// that the images and their pauses have stayed row for row in step.
struct InMemoryProject final : ListedProject
{
    void appendImageEntry(const QString &path, const QString &pause) override
    {
        EXPECT_EQ(images.size(), pauses.size()) << "image and pause lists out of step";
        ListedProject::appendImageEntry(path, pause);
    }
};
