#include "picture/ColourProfileBuilder.h"
#include "project/ProjectWriter.h"
#include "support/SoundRecording.h"
#include "support/SoundSamples.h"
#include "support/TestFiles.h"
#include "support/WindowTesting.h"
#include "support/XvfbServer.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <optional>

namespace {

constexpr QSize kScreen{1280, 720};

enum class ScreenState { Other, White, Black, Picture };

bool near(QColor a, QColor b)
{
    return std::abs(a.red() - b.red()) < 8 && std::abs(a.green() - b.green()) < 8
           && std::abs(a.blue() - b.blue()) < 8;
}

// Every sample point of a coarse grid has the colour.
bool allSamples(const QImage &shot, QColor colour, int inset = 0)
{
    for (int y = inset; y < shot.height() - inset; y += 37) {
        for (int x = inset; x < shot.width() - inset; x += 41) {
            if (!near(shot.pixelColor(x, y), colour))
                return false;
        }
    }
    return true;
}

// The bounding box of the pixels of one colour.
QRect areaOf(const QImage &shot, QColor colour)
{
    QRect box;
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            if (near(shot.pixelColor(x, y), colour))
                box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}

class ShowvaleOnScreen : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_x.isRunning()) << "Xvfb did not start";
        // A white desktop, so that a black screen can only be the player's window.
        const QString white = m_dir.filePath(QStringLiteral("white.png"));
        writePicture(white, {8, 8}, Qt::white);
        QProcess display;
        display.setProcessEnvironment(m_x.environment());
        display.start(QStringLiteral("display"),
                      {QStringLiteral("-window"), QStringLiteral("root"), white});
        // It reports a failure even when it has set the background; the screenshots tell.
        ASSERT_TRUE(display.waitForFinished(10000));
    }

    void TearDown() override
    {
        if (m_player.state() != QProcess::NotRunning) {
            m_player.kill();
            m_player.waitForFinished(3000);
        }
    }

    QString writeProject(const QStringList &images, bool stretch)
    {
        ProjectSnapshot project;
        for (const QString &image : images) {
            project.imagePaths << image;
            project.pauses << QStringLiteral("0");
        }
        project.stretch = stretch ? 1 : 0;
        const QString path = m_dir.filePath(QStringLiteral("show.ssp"));
        writeFileBytes(path, projectFileBytes(project));
        return path;
    }

    void launch(const QString &projectPath,
                const QString &program = QStringLiteral(SHOWVALE_PROGRAM))
    {
        m_player.setProcessEnvironment(m_x.environment());
        m_player.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_player.start(program, {projectPath});
        ASSERT_TRUE(m_player.waitForStarted(5000));
    }

    // A show of one red picture with the project's music, audio on.
    QString writeMusicShow(ProjectSnapshot project)
    {
        const QString red = m_dir.filePath(QStringLiteral("red.png"));
        writePicture(red, {100, 100}, Qt::red);
        project.imagePaths = {red};
        project.pauses = {QStringLiteral("0")};
        project.audio = 1;
        const QString path = m_dir.filePath(QStringLiteral("music.ssp"));
        writeFileBytes(path, projectFileBytes(project));
        return path;
    }

    ScreenState stateOf(const QImage &shot, QColor picture) const
    {
        if (near(shot.pixelColor(shot.rect().center()), picture))
            return ScreenState::Picture;
        if (allSamples(shot, Qt::white))
            return ScreenState::White;
        if (allSamples(shot, Qt::black))
            return ScreenState::Black;
        return ScreenState::Other;
    }

    // Screenshots until the picture shows; the distinct states seen on the way, in order.
    QList<ScreenState> watchUntilPicture(QColor picture, QImage *last)
    {
        QList<ScreenState> seen;
        const QDeadlineTimer deadline(20000);
        while (!deadline.hasExpired()) {
            *last = m_x.grabScreen().convertToFormat(QImage::Format_RGB32);
            const ScreenState state = last->isNull() ? ScreenState::Other : stateOf(*last, picture);
            if (seen.isEmpty() || seen.last() != state)
                seen << state;
            if (state == ScreenState::Picture)
                break;
        }
        return seen;
    }

    void clickAndExpectTheEnd(QPoint where)
    {
        ASSERT_TRUE(m_x.click(where));
        ASSERT_TRUE(m_player.waitForFinished(10000)) << "the click did not end the player";
        EXPECT_EQ(m_player.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(m_player.exitCode(), 0);
    }

    XvfbServer m_x{kScreen};
    QTemporaryDir m_dir;
    QProcess m_player;
};

} // namespace

TEST_F(ShowvaleOnScreen, BlackFirstThenTheCentredPictureAndAClickEndsIt)
{
    const QString red = m_dir.filePath(QStringLiteral("red.png"));
    writePicture(red, {400, 300}, Qt::red);
    launch(writeProject({red}, false));

    QImage shot;
    const QList<ScreenState> seen = watchUntilPicture(Qt::red, &shot);
    ASSERT_FALSE(seen.isEmpty());
    EXPECT_EQ(seen.last(), ScreenState::Picture) << "the picture never showed";
    // The window may already be up when the first screenshot is taken on a busy machine, but
    // the last screen before the picture must be all black.
    const qsizetype firstPicture = seen.indexOf(ScreenState::Picture);
    ASSERT_GT(firstPicture, 0) << "the picture showed without a black screen first";
    EXPECT_EQ(seen.at(firstPicture - 1), ScreenState::Black)
        << "the window must be black everywhere before the first picture";
    EXPECT_EQ(m_x.windowGeometry(QStringLiteral("^Form1$")), QRect(QPoint(0, 0), kScreen));

    EXPECT_EQ(areaOf(shot, Qt::red), QRect(440, 210, 400, 300)) << "centred on the screen";
    EXPECT_TRUE(near(shot.pixelColor(439, 209), QColor(0x80, 0x80, 0x80))) << "the thin frame";
    EXPECT_TRUE(near(shot.pixelColor(0, 0), Qt::black));
    EXPECT_TRUE(near(shot.pixelColor(1279, 719), Qt::black));

    clickAndExpectTheEnd({20, 20});
}

TEST_F(ShowvaleOnScreen, AStretchedPictureFillsTheWholeScreen)
{
    const QString blue = m_dir.filePath(QStringLiteral("blue.png"));
    writePicture(blue, {320, 200}, Qt::blue);
    launch(writeProject({blue}, true));

    QImage shot;
    const QList<ScreenState> seen = watchUntilPicture(Qt::blue, &shot);
    ASSERT_EQ(seen.last(), ScreenState::Picture) << "the picture never showed";
    EXPECT_TRUE(allSamples(shot, Qt::blue, 1)) << "stretched over the whole screen";
    EXPECT_EQ(areaOf(shot, Qt::blue), QRect(1, 1, 1278, 718));

    clickAndExpectTheEnd({640, 360});
}

TEST_F(ShowvaleOnScreen, OnAScreenWithAColourProfileAPictureShowsInItsColours)
{
    // Adobe RGB's primaries and gamma, as a wide-gamut monitor's profile has them.
    const Chromaticities adobeRgb{0.3127, 0.3290, 0.64, 0.33, 0.21, 0.71, 0.15, 0.06};
    ASSERT_TRUE(m_x.setRootProperty("_ICC_PROFILE",
                                    rgbProfileFor(adobeRgb, {ToneCurve::Power, 563.0 / 256})));
    const QString red = m_dir.filePath(QStringLiteral("red.png"));
    writePicture(red, {320, 200}, Qt::red);
    launch(writeProject({red}, true));

    // sRGB's red is less red than such a screen can show.
    QImage shot;
    const QColor onThatScreen(219, 0, 0);
    ASSERT_EQ(watchUntilPicture(onThatScreen, &shot).last(), ScreenState::Picture)
        << "the picture never showed in the screen's colours: "
        << shot.pixelColor(shot.rect().center()).name().toStdString();
    EXPECT_TRUE(allSamples(shot, onThatScreen, 1));

    clickAndExpectTheEnd({640, 360});
}

TEST_F(ShowvaleOnScreen, AShowOnADiscFindsItsPicturesBesideTheProgram)
{
    // The program, the project and the picture side by side, as on a disc, with the project
    // written on Windows.
    const QString disc = m_dir.filePath(QStringLiteral("disc"));
    ASSERT_TRUE(QDir().mkpath(disc));
    const QString program = QDir(disc).filePath(QStringLiteral("showvale"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(SHOWVALE_PROGRAM), program));
    QFile(program).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    writePicture(QDir(disc).filePath(QStringLiteral("green.png")), {300, 200}, Qt::green);
    const QString project = QDir(disc).filePath(QStringLiteral("show.ssp"));
    writeFileBytes(project, "%CurDir\\green.png *;Pause=0\r\nSp=0\r\nEa=0\r\n");
    launch(project, program);

    QImage shot;
    const QList<ScreenState> seen = watchUntilPicture(Qt::green, &shot);
    ASSERT_EQ(seen.last(), ScreenState::Picture) << "the picture beside the program never showed";
    EXPECT_EQ(areaOf(shot, Qt::green), QRect(490, 260, 300, 200));

    clickAndExpectTheEnd({640, 360});
}

// Files that cannot be played, first, in the middle and last, are passed over: the good ones play
// in order and loop, one after the other without a break.
TEST_F(ShowvaleOnScreen, TheMusicPlaysInOrderAndLoopsPassingOverFilesThatCannotPlay)
{
    const QList<double> tones{500, 800, 1100};
    ProjectSnapshot project;
    const auto addMusic = [&](const QString &name) {
        project.audioPaths << m_dir.filePath(name);
        return project.audioPaths.last();
    };
    writeFileBytes(addMusic(QStringLiteral("text.wav")), "not a sound\n");
    writeToneWav(addMusic(QStringLiteral("tone0.wav")), 1000, int(tones[0]));
    writeFileBytes(addMusic(QStringLiteral("empty.mp3")), {});
    writeToneWav(addMusic(QStringLiteral("tone1.wav")), 1000, int(tones[1]));
    writeToneWav(addMusic(QStringLiteral("tone2.wav")), 1000, int(tones[2]));
    addMusic(QStringLiteral("missing.ogg"));
    launch(writeMusicShow(project));

    const QList<qint16> heard = audiblePart(recordProcess(m_player.processId(), 3500));
    ASSERT_GT(heard.size(), 3 * kTestSoundRate)
        << "less than three seconds of sound (is the sound server running?)";
    EXPECT_GT(loudness(heard), 1000.0);
    EXPECT_LT(longestSilenceMs(heard), kLongestMusicBreakMs) << "the music breaks off";
    // Each file followed by the next, the first again after the last.
    const QList<int> order = toneOrder(heard, tones);
    ASSERT_GE(order.size(), 4) << "fewer than four files heard";
    for (qsizetype i = 1; i < order.size(); ++i)
        EXPECT_EQ(order.at(i), (order.at(i - 1) + 1) % 3) << "after file " << order.at(i - 1);

    QImage shot;
    ASSERT_EQ(watchUntilPicture(Qt::red, &shot).last(), ScreenState::Picture);
    clickAndExpectTheEnd({640, 360});
}

// A video among the music, here the only file, is heard and loops, and its pictures are never
// shown: the screen holds the show's picture and nothing green.
TEST_F(ShowvaleOnScreen, AVideoAmongTheMusicIsHeardNotSeen)
{
    ProjectSnapshot project;
    project.audioPaths = {m_dir.filePath(QStringLiteral("clip.wmv"))};
    ASSERT_TRUE(writeToneVideo(project.audioPaths.first(), 2000, 700, Qt::green));
    launch(writeMusicShow(project));

    const QList<qint16> heard = audiblePart(recordProcess(m_player.processId(), 3000));
    ASSERT_EQ(m_player.state(), QProcess::Running) << "the video ended the player";
    ASSERT_GT(heard.size(), 2 * kTestSoundRate) << "the video's sound does not play and loop";
    EXPECT_NEAR(toneFrequency(heard), 700, 40);
    EXPECT_LT(longestSilenceMs(heard), kLongestMusicBreakMs)
        << "the video's sound breaks off where it loops";

    QImage shot;
    ASSERT_EQ(watchUntilPicture(Qt::red, &shot).last(), ScreenState::Picture);
    EXPECT_TRUE(areaOf(shot, Qt::green).isEmpty()) << "the video is seen";
    clickAndExpectTheEnd({640, 360});
}

// The show's failure message, with no window manager and under a real one.
class ShowvaleMessage : public ShowvaleOnScreen, public ::testing::WithParamInterface<bool>
{};

TEST_P(ShowvaleMessage, ABrokenPictureShowsTheErrorBoxInFrontOfTheShow)
{
    if (GetParam()) {
        ASSERT_TRUE(m_x.startOpenbox()) << "openbox did not start";
    }
    const QString broken = m_dir.filePath(QStringLiteral("broken.png"));
    writeFileBytes(broken, "\x89PNG\r\n\x1a\n not a picture after all");
    launch(writeProject({broken}, false));

    std::optional<QRect> box;
    waitUntil([&] {
        box = m_x.windowGeometry(QStringLiteral("^Showvale$"));
        return box || m_player.state() != QProcess::Running;
    });
    ASSERT_TRUE(box.has_value()) << "no message box captioned Showvale appeared";
    EXPECT_EQ(m_player.state(), QProcess::Running) << "the player waits for the message";
    const QImage shot = m_x.grabScreen().convertToFormat(QImage::Format_RGB32);
    EXPECT_TRUE(near(shot.pixelColor(5, 5), Qt::black)) << "over the black show";
    EXPECT_FALSE(near(shot.pixelColor(box->center()), Qt::black)) << "the box is in front";

    // The box belongs to the show's window (transient for it), so a window manager keeps it in
    // front of that window.
    const auto firstWindow = [this](const char *title) {
        return m_x
            .xdotool({QStringLiteral("search"),
                      QStringLiteral("--onlyvisible"),
                      QStringLiteral("--name"),
                      QLatin1String(title)})
            .value_or(QString())
            .section(u'\n', 0, 0);
    };
    const QString message = firstWindow("^Showvale$");
    QProcess xprop;
    xprop.setProcessEnvironment(m_x.environment());
    xprop.start(QStringLiteral("xprop"),
                {QStringLiteral("-id"), message, QStringLiteral("WM_TRANSIENT_FOR")});
    ASSERT_TRUE(xprop.waitForFinished(5000));
    EXPECT_EQ(QString::fromLatin1(xprop.readAllStandardOutput()).section(u'#', 1).trimmed(),
              QStringLiteral("0x%1").arg(firstWindow("^Form1$").toULongLong(), 0, 16));

    // Dismissing the message ends the player.
    ASSERT_TRUE(m_x.focusWindow(QStringLiteral("^Showvale$")));
    ASSERT_TRUE(m_x.pressKeys(QStringLiteral("Return")));
    ASSERT_TRUE(m_player.waitForFinished(10000));
    EXPECT_EQ(m_player.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(m_player.exitCode(), 1);
}

INSTANTIATE_TEST_SUITE_P(WindowManagers,
                         ShowvaleMessage,
                         ::testing::Values(false, true),
                         [](const auto &info) {
                             return info.param ? "Openbox" : "NoWindowManager";
                         });

TEST_F(ShowvaleOnScreen, APackedShowPlaysFromAnotherFolderAndAMissingFileRefusesThePack)
{
    // "vistelle --pack" as typed in a terminal with no display at all.
    const auto pack = [](const QString &project, const QString &folder) {
        QProcess vistelle;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(QLatin1String(name));
        vistelle.setProcessEnvironment(env);
        vistelle.start(QStringLiteral(VISTELLE_PROGRAM),
                       {QStringLiteral("--pack"), project, folder});
        EXPECT_TRUE(vistelle.waitForFinished(60000));
        return std::pair(vistelle.exitCode(),
                         QString::fromUtf8(vistelle.readAllStandardOutput()
                                           + vistelle.readAllStandardError()));
    };
    // One picture by its full path, one beside the project through "%CurDir".
    const QString projectFolder = m_dir.filePath(QStringLiteral("project"));
    ASSERT_TRUE(QDir().mkpath(projectFolder));
    const QString red = m_dir.filePath(QStringLiteral("red.png"));
    writePicture(red, {400, 300}, Qt::red);
    writePicture(QDir(projectFolder).filePath(QStringLiteral("blue.png")), {200, 100}, Qt::blue);
    const QString project = QDir(projectFolder).filePath(QStringLiteral("show.ssp"));
    writeFileBytes(project,
                   red.toUtf8() + " *;Pause=30\r\n%CurDir\\blue.png *;Pause=1\r\nSp=0\r\nEa=0\r\n");
    const QString packed = m_dir.filePath(QStringLiteral("packed"));
    const auto [code, output] = pack(project, packed);
    ASSERT_EQ(code, 0) << output.toStdString();
    EXPECT_TRUE(output.contains(QStringLiteral("Show packed to ") + packed))
        << output.toStdString();

    // Moved elsewhere, with the original picture gone, the show plays from its own folder with
    // the player laid beside it, as on a disc.
    QTemporaryDir elsewhere;
    const QString moved = elsewhere.filePath(QStringLiteral("show"));
    ASSERT_TRUE(QDir().rename(packed, moved));
    ASSERT_TRUE(QFile::remove(red));
    const QString player = QDir(moved).filePath(QStringLiteral("showvale"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(SHOWVALE_PROGRAM), player));
    QFile::setPermissions(player, QFile::permissions(QStringLiteral(SHOWVALE_PROGRAM)));
    launch(QDir(moved).filePath(QStringLiteral("show.ssp")), player);
    QImage shot;
    ASSERT_EQ(watchUntilPicture(Qt::red, &shot).last(), ScreenState::Picture);
    EXPECT_EQ(areaOf(shot, Qt::red), QRect(440, 210, 400, 300));
    clickAndExpectTheEnd({20, 20});

    writeFileBytes(project, "%CurDir\\blue.png *;Pause=1\r\n%CurDir\\gone.png *;Pause=1\r\n");
    const auto [refusedCode, refusal] = pack(project, packed);
    EXPECT_EQ(refusedCode, 1);
    EXPECT_TRUE(refusal.contains(QStringLiteral("line 2: ")) && refusal.contains("gone.png"))
        << refusal.toStdString();
    EXPECT_FALSE(QFileInfo::exists(packed));
}
