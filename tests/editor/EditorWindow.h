#pragma once

#include "editor/Main.h"
#include "editor/ProjectCommands.h"
#include "project/ProjectWriter.h"
#include "support/FakePlatform.h"
#include "support/WindowTesting.h"

#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

class QAction;
class QListView;

// The real editor window on fake dialogs, message boxes and media player, shown and active so
// that clicks, keys and shortcuts reach it as they reach a user's window.
class EditorWindowTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // A control of the window by its designer name; the test stops when there is none.
    template<typename Control = QWidget>
    Control *control(const char *name) const
    {
        return findControl<Control>(*window, name);
    }
    QAction *menuItem(const char *name) const;
    [[nodiscard]] FakeMediaPlayer &previewPlayer() const;
    // The project as the window shows it: the three lists and the two switches.
    [[nodiscard]] ProjectSnapshot shownProject() const;

    // Lets queued work (rows shown in the lists, repaints) happen.
    static void settle();
    void clickRow(const char *listName, int row) const;
    void doubleClickRow(const char *listName, int row) const;
    void clickSelector(const char *name) const;
    void clickButton(const char *name) const { clickVisibleButton(*window, name); }
    // Answers the next file dialog with the path, or cancels it for nothing.
    void answerDialog(std::optional<QString> path);
    [[nodiscard]] QString picturePath(const QString &name, QColor colour = Qt::red) const;

    // The shown windows of the editor that are not the main window (dialogs, the test run's
    // player window), all or those with the designer name.
    QList<QWidget *> otherWindows(const char *name = nullptr);
    void closeOtherWindows();

    FakePlatform platform;
    QTemporaryDir files;
    QTemporaryDir programDirectory; // where testrun.test and Autorun.inf go
    QTemporaryDir userHome;
    // Where testrun.test goes when the program directory cannot be written; made when needed.
    [[nodiscard]] QString userDataDirectory() const
    {
        return userHome.filePath(QStringLiteral("share/Vistelle"));
    }
    std::unique_ptr<Main> window;
};

// The same window with its Project panel open, where New, Open, Save and Test are.
class ProjectPanelTest : public EditorWindowTest
{
protected:
    void SetUp() override
    {
        EditorWindowTest::SetUp();
        clickSelector("command8");
    }

    void click(const char *name) const { clickButton(name); }
};
