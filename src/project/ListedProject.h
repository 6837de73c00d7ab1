#pragma once

#include "project/ProjectLists.h"
#include "project/ProjectWriter.h"

#include <QStringList>

// A project read into plain lists instead of a window's List1, List2 and List3: what the tests,
// the benchmarks and the fuzzers read files into.
class ListedProject : public ProjectLists
{
public:
    void appendImageEntry(const QString &path, const QString &pause) override
    {
        images << path;
        pauses << pause;
    }
    void appendAudioPath(const QString &path) override { audio << path; }

    // What Save would write for these lists with the two switches.
    [[nodiscard]] ProjectSnapshot snapshot(int stretch = 0, int audioSwitch = 0) const
    {
        return {images, pauses, audio, stretch, audioSwitch};
    }

    QStringList images;
    QStringList pauses; // row for row with images
    QStringList audio;
};
