#pragma once

#include "project/ProjectLists.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QStringList>
#include <QWidget>

#include <gtest/gtest.h>

// The editor's three lists as plain text rows; checks on every append that the image list and
// the pause list have stayed row for row in step.
class RecordingLists final : public ProjectLists
{
public:
    void appendImageEntry(const QString &path, const QString &pause) override
    {
        EXPECT_EQ(List1.size(), List2.size()) << "image and pause lists out of step";
        List1 << path;
        List2 << pause;
    }
    void appendAudioPath(const QString &path) override { List3 << path; }

    QStringList List1;
    QStringList List2;
    QStringList List3;
};

// Windows that closed with WA_DeleteOnClose are gone once deferred deletes have run.
inline void runDeferredDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

template<typename Window>
int openTopLevelCount()
{
    int count = 0;
    const QList<QWidget *> windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows) {
        if (qobject_cast<Window *>(window) && window->isVisible())
            ++count;
    }
    return count;
}
