#pragma once

#include <QList>
#include <QString>
#include <QStringView>

#include <functional>

// A picture of a show as the player reads it: the path it opens, the pause text (whole seconds)
// and the project line that names it.
struct ListedPicture
{
    QString path;
    QString pause;
    int line = 0;
};

struct ListedMusic
{
    QString path;
    int line = 0;
};

// What a project file makes the player show and play, entry by entry with its line: for
// checking, exporting and packing a show, where a problem is told with the line that causes it.
struct ShowListing
{
    QList<ListedPicture> pictures;
    QList<ListedMusic> music;
    bool stretched = false;
    bool musicOn = false;
};

// Turns a path text into the path that is opened ("%CurDir" resolved).
using ShowPathResolver = std::function<QString(const QString &pathText)>;

// Reads project text as the player reads it; each picture and music path goes through resolve.
[[nodiscard]] ShowListing listShow(QStringView projectText, const ShowPathResolver &resolve);
