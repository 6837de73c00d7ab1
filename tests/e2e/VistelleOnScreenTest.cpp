#include "editor/PanelSwitcher.h"
#include "forms/Twips.h"
#include "support/SoundRecording.h"
#include "support/SoundSamples.h"
#include "support/TestFiles.h"
#include "support/WindowTesting.h"
#include "support/XvfbServer.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>

namespace {

// The real editor on a private X server, seen through screenshots as a person sees it.
class EditorProgramTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.isRunning()) << "Xvfb did not start";
        editor.setProcessEnvironment(server.environment());
        editor.setProcessChannelMode(QProcess::ForwardedChannels);
        editor.start(program(), arguments());
        ASSERT_TRUE(editor.waitForStarted(10000));
        ASSERT_TRUE(waitUntil([this] { return findWindow(); }))
            << "no window titled Vistelle appeared";
    }

    // The program to start; the editor writes its test project beside it.
    virtual QString program() { return QStringLiteral(VISTELLE_PROGRAM); }
    virtual QStringList arguments() { return {}; }

    // Whether a path is painted, white on List1's green, in its first row.
    bool firstImageRowShowsText()
    {
        const QImage screen = server.grabScreen();
        if (screen.isNull())
            return false;
        const QRect firstRow = twipsRect(120, 360, 4215, 255).adjusted(4, 2, -4, -2);
        for (int x = firstRow.left(); x < firstRow.right(); ++x) {
            for (int y = firstRow.top(); y < firstRow.bottom(); ++y) {
                if (colourAt(screen, {x, y}).lightness() > 200)
                    return true;
            }
        }
        return false;
    }

    void TearDown() override
    {
        if (editor.state() != QProcess::NotRunning) {
            editor.kill();
            editor.waitForFinished(5000);
        }
    }

    // Finds where the window titled "Vistelle" is on the screen, as xdotool reports it.
    bool findWindow()
    {
        windowRect = server.windowGeometry(QStringLiteral("^Vistelle$"));
        return windowRect.has_value();
    }

    // A screenshot once the window has painted its client area, or the last one taken.
    QImage paintedScreen(EditorPanel panel = EditorPanel::Image)
    {
        QImage screen;
        waitUntil([&] {
            screen = server.grabScreen();
            const QPoint bottomLeft(4, clientHeight(panel) - 4);
            return !screen.isNull() && colourAt(screen, bottomLeft, panel) == kGreen;
        });
        return screen;
    }

    [[nodiscard]] static int clientHeight(EditorPanel panel = EditorPanel::Image)
    {
        return clientHeightPixels(panel);
    }

    // The colour at a point of the client area, which sits at the bottom of the window, below
    // the menu bar.
    [[nodiscard]] QColor colourAt(const QImage &screen,
                                  QPoint client,
                                  EditorPanel panel = EditorPanel::Image) const
    {
        const QPoint origin(windowRect->left(), windowRect->bottom() + 1 - clientHeight(panel));
        return screen.pixelColor(origin + client);
    }

    // Clicks a point of the client area with the mouse, as a person would.
    void click(QPoint client, EditorPanel panel)
    {
        const QPoint origin(windowRect->left(), windowRect->bottom() + 1 - clientHeight(panel));
        ASSERT_TRUE(server.click(origin + client));
    }

    // Waits until the window has the height of the panel's client area below its menu bar.
    bool waitForHeight(int height)
    {
        return waitUntil([&] { return findWindow() && windowRect->height() == height; });
    }

    static inline const QColor kGreen{0, 192, 0};
    static inline const QColor kDarkGreen{0, 128, 0};

    XvfbServer server;
    QProcess editor;
    std::optional<QRect> windowRect;
};

} // namespace

TEST_F(EditorProgramTest, MainWindowShowsTheDesignedLayoutAndColours)
{
    const QImage screen = paintedScreen();
    ASSERT_FALSE(screen.isNull());
    EXPECT_EQ(windowRect->width(), 617);
    EXPECT_GT(windowRect->height(), clientHeight());
    // Centred on the screen.
    EXPECT_NEAR(windowRect->center().x(), server.screenSize().width() / 2, 2);
    EXPECT_NEAR(windowRect->center().y(), server.screenSize().height() / 2, 2);

    // The green window, with a margin of it below the image panel.
    EXPECT_EQ(colourAt(screen, {4, clientHeight() - 4}), kGreen);
    EXPECT_EQ(colourAt(screen, {613, 300}), kGreen);

    // List1: dark green inside its rectangle, window green just outside it.
    const QRect list1 = twipsRect(120, 360, 4215, 3015);
    EXPECT_EQ(colourAt(screen, list1.topLeft() + QPoint(6, 6)), kDarkGreen);
    EXPECT_EQ(colourAt(screen, list1.bottomRight() - QPoint(6, 6)), kDarkGreen);
    EXPECT_EQ(colourAt(screen, QPoint(list1.right() + 3, list1.center().y())), kGreen);
    EXPECT_EQ(colourAt(screen, QPoint(list1.center().x(), list1.bottom() + 3)), kGreen);
    EXPECT_EQ(colourAt(screen, QPoint(list1.center().x(), list1.top() - 3)), kGreen);

    // The pause list beside it, and the path display below both.
    const QRect list2 = twipsRect(4440, 360, 975, 3015);
    EXPECT_EQ(colourAt(screen, list2.center()), kDarkGreen);
    EXPECT_EQ(colourAt(screen, twipsRect(120, 3480, 9015, 285).center()), QColor(192, 255, 192));

    // The selector of the panel shown is dark green, the next one normal green.
    const QRect imageSelector = twipsRect(120, 3840, 1455, 375);
    const QRect audioSelector = twipsRect(1560, 3840, 1455, 375);
    EXPECT_EQ(colourAt(screen, imageSelector.topLeft() + QPoint(3, 3)), kDarkGreen);
    EXPECT_EQ(colourAt(screen, audioSelector.topLeft() + QPoint(4, 3)), kGreen);

    const QImage window = screen.copy(*windowRect);
    EXPECT_TRUE(window.save(QStringLiteral(VISTELLE_SCREENSHOT)));
}

TEST_F(EditorProgramTest, AudioSelectorGrowsTheWindowToShowTheWholeAudioPanel)
{
    ASSERT_FALSE(paintedScreen().isNull());
    const int menuBar = windowRect->height() - clientHeight(EditorPanel::Image);
    click(twipsRect(1560, 3840, 1455, 375).center(), EditorPanel::Image);
    ASSERT_TRUE(waitForHeight(menuBar + clientHeight(EditorPanel::Audio)));

    const QImage screen = paintedScreen(EditorPanel::Audio);
    // List3 lies in the audio panel, whose bottom is now inside the window.
    const QRect list3 = twipsRect(120 + 3360, 4200 + 600, 5535, 975);
    EXPECT_EQ(colourAt(screen, list3.center(), EditorPanel::Audio), kDarkGreen);
    EXPECT_EQ(colourAt(screen, QPoint(list3.center().x(), list3.bottom() + 4), EditorPanel::Audio),
              kGreen);
    const QRect audioSelector = twipsRect(1560, 3840, 1455, 375);
    EXPECT_EQ(colourAt(screen, audioSelector.topLeft() + QPoint(3, 3), EditorPanel::Audio),
              kDarkGreen);

    click(twipsRect(120, 3840, 1455, 375).center(), EditorPanel::Audio);
    EXPECT_TRUE(waitForHeight(menuBar + clientHeight(EditorPanel::Image)));
}

TEST_F(EditorProgramTest, QuitEndsTheProgramWhenItIsTheLastWindow)
{
    ASSERT_FALSE(paintedScreen().isNull());
    // Without a window manager nobody gives the window the keyboard: do it as one would.
    ASSERT_TRUE(server.focusWindow(QStringLiteral("^Vistelle$")));
    ASSERT_TRUE(server.pressKeys(QStringLiteral("F4")));
    ASSERT_TRUE(editor.waitForFinished(15000));
    EXPECT_EQ(editor.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(editor.exitCode(), 0);
}

namespace {

// The real editor run from a folder of its own, so that its test project lands there.
class EditorTestRunOnScreenTest : public EditorProgramTest
{
protected:
    QString program() override
    {
        const QString copy = programDirectory.filePath(QStringLiteral("vistelle"));
        QFile::copy(QStringLiteral(VISTELLE_PROGRAM), copy);
        QFile::setPermissions(copy, QFile::permissions(QStringLiteral(VISTELLE_PROGRAM)));
        return copy;
    }

    QColor centreOfScreen()
    {
        const QImage screen = server.grabScreen();
        if (screen.isNull())
            return {};
        return screen.pixelColor(screen.rect().center());
    }
    bool screenIsRedToItsCorners()
    {
        const QImage screen = server.grabScreen();
        if (screen.isNull())
            return false;
        const QRect inner = screen.rect().adjusted(2, 2, -2, -2);
        for (const QPoint at : {inner.center(), inner.topLeft(), inner.bottomRight()}) {
            if (screen.pixelColor(at) != QColor(Qt::red))
                return false;
        }
        return true;
    }

    QTemporaryDir programDirectory;
    QTemporaryDir work;
};

} // namespace

TEST_F(EditorTestRunOnScreenTest, TestPlaysTheProjectAndAClickReturnsToTheEditor)
{
    ASSERT_FALSE(paintedScreen().isNull());
    const QString picture = work.filePath(QStringLiteral("red.png"));
    writePicture(picture, QSize(320, 240), Qt::red);
    // The music is a video: the test run plays its sound and never shows it.
    const QString video = work.filePath(QStringLiteral("clip.mpg"));
    ASSERT_TRUE(writeToneVideo(video, 2000, 700, Qt::green));
    const QByteArray project = (picture + QStringLiteral(" *;Pause=30\r\nAf=") + video
                                + QStringLiteral("\r\nSp=1\r\nEa=1\r\n"))
                                   .toUtf8();
    const QString projectPath = work.filePath(QStringLiteral("red.ssp"));
    writeFileBytes(projectPath, project);

    // Load the project through the real Open dialog.
    ASSERT_TRUE(server.focusWindow(QStringLiteral("^Vistelle$")));
    ASSERT_TRUE(server.pressKeys(QStringLiteral("ctrl+o")));
    ASSERT_TRUE(server.focusWindow(QStringLiteral("^Open$")));
    ASSERT_TRUE(server.xdotool(
        {QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("5"), projectPath}));
    ASSERT_TRUE(server.pressKeys(QStringLiteral("Return")));
    // On a slow machine the name box has offered the file in its completion list by then, which
    // takes the first Return, as it would take a user's: the user presses it once more.
    const auto dialogGone = [&] { return !server.isWindowShown(QStringLiteral("^Open$")); };
    if (!waitUntil(dialogGone, 3000)) {
        ASSERT_TRUE(server.pressKeys(QStringLiteral("Return")));
    }
    ASSERT_TRUE(waitUntil(dialogGone));
    // The path is painted in List1's first row, in white.
    ASSERT_TRUE(waitUntil([&] { return firstImageRowShowsText(); })) << "the project did not load";

    // "Project", then "Test", each once the window shows the click's effect.
    click(twipsRect(4440, 3840, 1455, 375).center(), EditorPanel::Image);
    // The grey face of "Auto Runner", where the image panel has its green.
    const QPoint autoRunner = twipsRect(120 + 7800, 4200 + 360, 1095, 375).topLeft() + QPoint(5, 5);
    ASSERT_TRUE(waitUntil([&] {
        const QImage screen = server.grabScreen();
        if (screen.isNull())
            return false;
        const QColor face = colourAt(screen, autoRunner, EditorPanel::Project);
        return face.red() > 150 && qAbs(face.red() - face.green()) < 16
               && qAbs(face.green() - face.blue()) < 16;
    })) << "the Project panel did not open";
    click(twipsRect(120 + 120, 4200 + 360, 975, 375).center(), EditorPanel::Project);
    ASSERT_TRUE(waitUntil([&] { return screenIsRedToItsCorners(); }))
        << "the stretched picture did not cover the screen";
    EXPECT_EQ(readFileBytes(programDirectory.filePath(QStringLiteral("testrun.test"))), project);
    const QList<qint16> heard = audiblePart(recordProcess(editor.processId(), 3000));
    ASSERT_EQ(editor.state(), QProcess::Running) << "the video as music ended the editor";
    EXPECT_GT(heard.size(), 2 * kTestSoundRate) << "the video's sound does not play and loop";
    EXPECT_NEAR(toneFrequency(heard), 700, 40);
    EXPECT_TRUE(screenIsRedToItsCorners()) << "the video is seen";

    // A real click ends the show; the editor is still there.
    ASSERT_TRUE(server.click({server.screenSize().width() / 2, server.screenSize().height() / 2}));
    ASSERT_TRUE(waitUntil([&] { return centreOfScreen() != QColor(Qt::red); }));
    EXPECT_EQ(editor.state(), QProcess::Running);
    EXPECT_TRUE(server.isWindowShown(QStringLiteral("^Vistelle$")));

    // Help, then Quit: the help window keeps the program running until it closes.
    ASSERT_TRUE(server.focusWindow(QStringLiteral("^Vistelle$")));
    ASSERT_TRUE(server.pressKeys(QStringLiteral("F1")));
    ASSERT_TRUE(waitUntil([&] { return server.isWindowShown(QStringLiteral("^Vistelle Help$")); }));
    ASSERT_TRUE(server.focusWindow(QStringLiteral("^Vistelle$")));
    ASSERT_TRUE(server.pressKeys(QStringLiteral("F4")));
    ASSERT_TRUE(waitUntil([&] { return !server.isWindowShown(QStringLiteral("^Vistelle$")); }));
    EXPECT_FALSE(editor.waitForFinished(1000));
    ASSERT_EQ(editor.state(), QProcess::Running);
    ASSERT_TRUE(server.focusWindow(QStringLiteral("^Vistelle Help$")));
    ASSERT_TRUE(server.pressKeys(QStringLiteral("Escape")));
    ASSERT_TRUE(editor.waitForFinished(15000));
    EXPECT_EQ(editor.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(editor.exitCode(), 0);
}

namespace {

// A file manager's "Open with Vistelle" names the project on the command line.
class EditorOpenWithTest : public EditorTestRunOnScreenTest
{
protected:
    QStringList arguments() override
    {
        writeFileBytes(projectPath(), "/pictures/one.jpg *;Pause=4\r\nSp=0\r\nEa=0\r\n");
        return {projectPath()};
    }
    QString projectPath() const { return work.filePath(QStringLiteral("party show.ssp")); }
};

} // namespace

TEST_F(EditorOpenWithTest, AProjectNamedOnTheCommandLineIsLoadedAtStart)
{
    ASSERT_FALSE(paintedScreen().isNull());
    EXPECT_TRUE(waitUntil([&] { return firstImageRowShowsText(); })) << "the project did not load";
}

namespace {

// The real editor asked to open a project long enough to load that the user can close the window
// before it has finished.
class EditorLongLoadTest : public EditorTestRunOnScreenTest
{
protected:
    QStringList arguments() override
    {
        QByteArray lines;
        for (int i = 0; i < 1000000; ++i)
            lines += "/pictures/holiday " + QByteArray::number(i) + ".jpg *;Pause=4\r\n";
        const QString project = work.filePath(QStringLiteral("long.ssp"));
        writeFileBytes(project, lines);
        return {project};
    }
};

} // namespace

TEST_F(EditorLongLoadTest, ClosingTheWindowDuringTheLoadEndsTheProgram)
{
    // The window is up while the million entries are still being read.
    ASSERT_TRUE(server.focusWindow(QStringLiteral("^Vistelle$")));
    ASSERT_TRUE(server.pressKeys(QStringLiteral("F4")));
    ASSERT_TRUE(editor.waitForFinished(60000)) << "the program ran on without a window";
    EXPECT_EQ(editor.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(editor.exitCode(), 0);
}
