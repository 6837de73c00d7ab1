#pragma once

#include <QString>

#include <functional>

// Lets pending user-interface events run; the readers and the writer call it between entries so
// that windows keep painting during long lists. A default-constructed one does nothing.
using LetEventsRun = std::function<void()>;

// The lists of a window that a project file is read into: the editor's and the player's each
// implement it over their own List1/List2/List3.
class ProjectLists
{
public:
    virtual ~ProjectLists() = default;

    // Appends one image entry: the path to the image list and the pause to the pause list,
    // as one step, so the two lists never differ in length.
    virtual void appendImageEntry(const QString &path, const QString &pause) = 0;
    virtual void appendAudioPath(const QString &path) = 0;
};
