#include "PanelSwitcher.h"
#include "Twips.h"
#include "XvfbServer.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QThread>

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
        editor.start(QStringLiteral(VISTELLE_PROGRAM), {});
        ASSERT_TRUE(editor.waitForStarted(10000));
        windowRect = findWindow();
        ASSERT_TRUE(windowRect.has_value()) << "no window titled Vistelle appeared";
    }

    void TearDown() override
    {
        if (editor.state() != QProcess::NotRunning) {
            editor.kill();
            editor.waitForFinished(5000);
        }
    }

    // Where the window titled "Vistelle" is on the screen, as xdotool reports it.
    std::optional<QRect> findWindow()
    {
        QProcess tool;
        tool.setProcessEnvironment(server.environment());
        tool.start(QStringLiteral("sh"),
                   {QStringLiteral("-c"),
                    QStringLiteral("xdotool search --sync --onlyvisible --name '^Vistelle$' "
                                   "getwindowgeometry --shell")});
        if (!tool.waitForFinished(20000)) {
            tool.kill();
            tool.waitForFinished();
            return std::nullopt;
        }
        QRect rect;
        for (const QByteArray &line : tool.readAllStandardOutput().split('\n')) {
            const QList<QByteArray> pair = line.split('=');
            if (pair.size() != 2)
                continue;
            const int value = pair[1].toInt();
            if (pair[0] == "X")
                rect.moveLeft(value);
            else if (pair[0] == "Y")
                rect.moveTop(value);
            else if (pair[0] == "WIDTH")
                rect.setWidth(value);
            else if (pair[0] == "HEIGHT")
                rect.setHeight(value);
        }
        return rect.isValid() ? std::optional<QRect>(rect) : std::nullopt;
    }

    // A screenshot once the window has painted its client area, or the last one taken.
    QImage paintedScreen(EditorPanel panel = EditorPanel::Image)
    {
        QImage screen;
        const QDeadlineTimer deadline(15000);
        do {
            screen = server.grabScreen();
            const QPoint bottomLeft(4, clientHeight(panel) - 4);
            if (!screen.isNull() && colourAt(screen, bottomLeft, panel) == kGreen)
                return screen;
            QThread::msleep(100);
        } while (!deadline.hasExpired());
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
        const QPoint at = origin + client;
        ASSERT_TRUE(server.xdotool({QStringLiteral("mousemove"),
                                    QString::number(at.x()),
                                    QString::number(at.y()),
                                    QStringLiteral("click"),
                                    QStringLiteral("1")}));
    }

    // Waits until the window has the height of the panel's client area below its menu bar.
    bool waitForHeight(int height)
    {
        const QDeadlineTimer deadline(15000);
        do {
            windowRect = findWindow();
            if (windowRect && windowRect->height() == height)
                return true;
            QThread::msleep(100);
        } while (!deadline.hasExpired());
        return false;
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
    ASSERT_TRUE(server.xdotool({QStringLiteral("search"),
                                QStringLiteral("--onlyvisible"),
                                QStringLiteral("--name"),
                                QStringLiteral("^Vistelle$"),
                                QStringLiteral("windowfocus"),
                                QStringLiteral("--sync"),
                                QStringLiteral("%1")}));
    ASSERT_TRUE(server.xdotool({QStringLiteral("key"), QStringLiteral("F4")}));
    ASSERT_TRUE(editor.waitForFinished(15000));
    EXPECT_EQ(editor.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(editor.exitCode(), 0);
}
