#include "player/Form1.h"
#include "player/AudioPlaylist.h"
#include "player/ImageSequence.h"
#include "player/PictureArea.h"
#include "sound/GstMusicPlayer.h"
#include "support/FakePlatform.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace {

QRect screenGeometry()
{
    return QGuiApplication::primaryScreen()->geometry();
}

QColor pixelAt(const QImage &image, QPoint point)
{
    return image.pixelColor(point);
}

class PlayerWindow : public ::testing::Test
{
protected:
    QString path(const QString &name) const { return QDir(m_dir.path()).filePath(name); }

    // Writes a project file with CR LF line ends and returns its path.
    QString writeProject(const QString &name, const QStringList &lines) const
    {
        writeFileBytes(path(name),
                       (lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8());
        return path(name);
    }

    Form1 &makeWindow(const QString &argumentText, PlayerVariant variant = PlayerVariant::Showvale)
    {
        m_form = std::make_unique<Form1>(m_platform.services(),
                                         PlayerSetup{variant, m_dir.path(), argumentText});
        m_ended = std::make_unique<QSignalSpy>(m_form.get(), &Form1::ended);
        return *m_form;
    }

    // A window of Showvale playing the project with these lines.
    Form1 &play(const QStringList &lines)
    {
        Form1 &form = makeWindow(writeProject(QStringLiteral("show.ssp"), lines));
        EXPECT_TRUE(form.start());
        return form;
    }

    [[nodiscard]] FakeMediaPlayer &mp1() const { return *m_platform.mediaPlayers.last(); }
    [[nodiscard]] ImageSequence &sequence() const { return m_form->imageSequence(); }
    [[nodiscard]] PictureArea *image1() const
    {
        return m_form->findChild<PictureArea *>(QStringLiteral("Image1"));
    }
    [[nodiscard]] QTimer *timer(const char *name) const
    {
        return m_form->findChild<QTimer *>(QString::fromLatin1(name));
    }
    [[nodiscard]] std::vector<FakeMessageBoxService::Shown> &messages()
    {
        return m_platform.messages.shown;
    }

    QTemporaryDir m_dir;
    FakePlatform m_platform;
    std::unique_ptr<Form1> m_form;
    std::unique_ptr<QSignalSpy> m_ended;
};

} // namespace

TEST_F(PlayerWindow, AQuotedPathWithBlanksIsLoadedAndTheBlackWindowCoversTheScreen)
{
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("my show")));
    writePicture(path("my show/a.png"), {40, 30});
    const QString project = writeProject(QStringLiteral("my show/show.ssp"),
                                         {QStringLiteral("%CurDir/my show/a.png *;Pause=7"),
                                          QStringLiteral("Sp=0")});
    Form1 &form = makeWindow(u'"' + project + u'"');
    ASSERT_TRUE(form.start());

    EXPECT_EQ(sequence().List1(), QStringList({"%CurDir/my show/a.png"}));
    EXPECT_EQ(sequence().List2(), QStringList({"7"}));
    EXPECT_EQ(form.StretchSetting(), "0");
    EXPECT_TRUE(form.isVisible());
    EXPECT_TRUE(form.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(form.geometry(), screenGeometry());
    EXPECT_EQ(form.windowTitle(), "Form1");
    const QImage screen = form.grab().toImage();
    EXPECT_EQ(pixelAt(screen, {0, 0}), QColor(Qt::black));
    EXPECT_EQ(pixelAt(screen, screen.rect().center()), QColor(Qt::black));
    EXPECT_FALSE(image1()->isVisible()) << "nothing during the start delay";
    EXPECT_TRUE(timer("Timer2")->isActive());
    EXPECT_TRUE(messages().empty());
}

TEST_F(PlayerWindow, AProjectThatCannotBeReadShowsOnlyTheSystemsWordsAndEnds)
{
    // Two names are one path with a blank in it, which does not exist.
    writeProject(QStringLiteral("a.ssp"), {QStringLiteral("Sp=0")});
    Form1 &form = makeWindow(path("a.ssp") + u' ' + path("a.ssp"));
    EXPECT_FALSE(form.start());

    ASSERT_EQ(messages().size(), 1U);
    EXPECT_EQ(messages()[0].text, "No such file or directory");
    EXPECT_EQ(messages()[0].icon, MessageIcon::Critical);
    ASSERT_EQ(m_ended->count(), 1);
    EXPECT_TRUE(m_ended->at(0).at(0).toBool());
    EXPECT_FALSE(form.isVisible());
    EXPECT_FALSE(timer("Timer2")->isActive());

    // A device or a pipe is no project: it is reported at once instead of read without end.
    for (const QString &notAFile : {QStringLiteral("/dev/zero"), makePipe(path("pipe.ssp"))}) {
        messages().clear();
        EXPECT_FALSE(makeWindow(notAFile).start());
        ASSERT_EQ(messages().size(), 1U);
        EXPECT_EQ(messages()[0].text, "Not a regular file");
        EXPECT_EQ(m_ended->count(), 1);
    }
}

TEST_F(PlayerWindow, WithoutArgumentsTheOpenDialogAsksAndACancelEndsSilently)
{
    Form1 &form = makeWindow(QString());
    EXPECT_FALSE(form.start());

    ASSERT_EQ(m_platform.files.requests.size(), 1U);
    EXPECT_EQ(m_platform.files.requests[0].mode, FileDialogMode::Open);
    EXPECT_EQ(m_platform.files.requests[0].nameFilters, qtNameFilters("Slideshow Projects|*.ssp"));
    EXPECT_TRUE(messages().empty());
    ASSERT_EQ(m_ended->count(), 1);
    EXPECT_FALSE(m_ended->at(0).at(0).toBool());
    EXPECT_FALSE(form.isVisible());
}

TEST_F(PlayerWindow, TheFileChosenInTheDialogIsPlayedAndAMissingOneIsReported)
{
    writePicture(path("a.png"), {20, 20});
    m_platform.files.answers.push_back(
        writeProject(QStringLiteral("chosen.ssp"), {path("a.png") + " *;Pause=2"}));
    Form1 &chosen = makeWindow(QString());
    EXPECT_TRUE(chosen.start());
    EXPECT_EQ(sequence().List1(), QStringList({path("a.png")}));

    m_platform.files.answers.push_back(path("nowhere.ssp"));
    Form1 &missing = makeWindow(QString());
    EXPECT_FALSE(missing.start());
    ASSERT_EQ(messages().size(), 1U);
    EXPECT_EQ(messages()[0].text, "No such file or directory");
}

TEST_F(PlayerWindow, TheFirstPictureComesAfterTheStartDelayCentredOnBlack)
{
    writePicture(path("red.png"), {200, 100}, Qt::red);
    Form1 &form = play({QStringLiteral("%CurDir/red.png *;Pause=2"), QStringLiteral("Sp=0")});

    sequence().onTimer2();
    ASSERT_TRUE(image1()->isVisible());
    const QRect screen = screenGeometry();
    EXPECT_EQ(image1()->geometry(),
              QRect((screen.width() - 202) / 2, (screen.height() - 102) / 2, 202, 102));
    const QImage shot = form.grab().toImage();
    EXPECT_EQ(pixelAt(shot, shot.rect().center()), QColor(Qt::red));
    EXPECT_EQ(pixelAt(shot, {5, 5}), QColor(Qt::black));
    EXPECT_EQ(pixelAt(shot, image1()->geometry().topLeft()), QColor(0x80, 0x80, 0x80))
        << "a thin line frames the picture";
    EXPECT_EQ(timer("Timer1")->interval(), 2000);
    EXPECT_TRUE(timer("Timer1")->isActive());
}

class StretchSetting : public PlayerWindow, public ::testing::WithParamInterface<const char *>
{};

TEST_P(StretchSetting, OnlyExactlyOneFillsTheScreen)
{
    const QString setting = QString::fromLatin1(GetParam());
    writePicture(path("blue.png"), {64, 48}, Qt::blue);
    Form1 &form = play({path("blue.png") + " *;Pause=3", "Sp=" + setting});
    sequence().onTimer2();

    const bool stretched = setting == u"1";
    const QImage shot = form.grab().toImage();
    if (stretched) {
        EXPECT_EQ(image1()->geometry(), form.rect());
        EXPECT_EQ(pixelAt(shot, {2, 2}), QColor(Qt::blue));
        EXPECT_EQ(pixelAt(shot, {shot.width() - 3, shot.height() - 3}), QColor(Qt::blue));
    } else {
        EXPECT_EQ(image1()->size(), QSize(66, 50));
        EXPECT_EQ(pixelAt(shot, {2, 2}), QColor(Qt::black));
        EXPECT_EQ(pixelAt(shot, shot.rect().center()), QColor(Qt::blue));
    }
}

INSTANTIATE_TEST_SUITE_P(Values, StretchSetting, ::testing::Values("1", "1.0", "2", "0"));

TEST_F(PlayerWindow, APictureLargerThanTheScreenKeepsOnlyItsCentreCutOffEqually)
{
    const QSize screen = screenGeometry().size();
    // Left half green, right half blue, so the screen must show both halves equally.
    QImage big(screen * 2, QImage::Format_RGB32);
    big.fill(Qt::green);
    QPainter(&big).fillRect(QRect(QPoint(screen.width(), 0), screen * 2), Qt::blue);
    ASSERT_TRUE(big.save(path("big.png")));
    Form1 &form = play({path("big.png") + " *;Pause=3"});
    sequence().onTimer2();

    EXPECT_EQ(image1()->heldImageSize(), screen) << "only what the screen shows is decoded";
    EXPECT_LT(image1()->x(), 0);
    const QImage shot = form.grab().toImage();
    EXPECT_EQ(pixelAt(shot, {0, screen.height() / 2}), QColor(Qt::green));
    EXPECT_EQ(pixelAt(shot, {screen.width() / 2 - 1, 0}), QColor(Qt::green));
    EXPECT_EQ(pixelAt(shot, {screen.width() / 2, 0}), QColor(Qt::blue));
    EXPECT_EQ(pixelAt(shot, {screen.width() - 1, screen.height() - 1}), QColor(Qt::blue));
}

class ClickTarget : public PlayerWindow, public ::testing::WithParamInterface<bool>
{};

TEST_P(ClickTarget, AClickOnTheWindowOrThePictureEndsTheShow)
{
    writePicture(path("a.png"), {50, 50});
    writeToneWav(path("a.wav"), 200);
    Form1 &form = play({path("a.png") + " *;Pause=3", "Af=" + path("a.wav"), "Ea=1"});
    sequence().onTimer2();
    ASSERT_TRUE(mp1().isPlaying());

    const bool onPicture = GetParam();
    QWidget *target = onPicture ? static_cast<QWidget *>(image1()) : &form;
    const QPoint where = onPicture ? image1()->rect().center() : QPoint(3, 3);
    QTest::mouseClick(target, Qt::LeftButton, {}, where);

    ASSERT_EQ(m_ended->count(), 1);
    EXPECT_FALSE(m_ended->at(0).at(0).toBool());
    EXPECT_FALSE(form.isVisible());
    EXPECT_FALSE(timer("Timer1")->isActive());
    EXPECT_FALSE(mp1().isPlaying()) << "the music ends with the show";
    EXPECT_TRUE(messages().empty());
}

INSTANTIATE_TEST_SUITE_P(Targets, ClickTarget, ::testing::Values(false, true));

TEST_F(PlayerWindow, AClickDuringTheStartDelayEndsTheShowAndOtherButtonsAndKeysDoNothing)
{
    writePicture(path("a.png"), {50, 50});
    Form1 &form = play({path("a.png") + " *;Pause=3"});

    QTest::mouseClick(&form, Qt::RightButton);
    QTest::mouseClick(&form, Qt::MiddleButton);
    for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Space, Qt::Key_Q})
        QTest::keyClick(&form, key);
    QTest::keyClick(&form, Qt::Key_F4, Qt::AltModifier);
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(m_ended->count(), 0);
    EXPECT_TRUE(timer("Timer2")->isActive());

    QTest::mouseClick(&form, Qt::LeftButton);
    EXPECT_EQ(m_ended->count(), 1);
    EXPECT_FALSE(timer("Timer2")->isActive());
    EXPECT_FALSE(image1()->isVisible());
}

TEST_F(PlayerWindow, AMissingPictureEndsTheShowAtItsTurnWithOneMessageOverTheLastPicture)
{
    writePicture(path("red.png"), {100, 100}, Qt::red);
    Form1 &form = play({path("red.png") + " *;Pause=2", path("gone.jpg") + " *;Pause=2"});
    sequence().onTimer2();
    EXPECT_TRUE(messages().empty()) << "not at load time";

    bool timersStoppedWhileShown = false;
    QColor centreWhileShown;
    m_platform.messages.onShow = [&](const FakeMessageBoxService::Shown &) {
        timersStoppedWhileShown = !timer("Timer1")->isActive() && !timer("Timer2")->isActive();
        const QImage shot = form.grab().toImage();
        centreWhileShown = pixelAt(shot, shot.rect().center());
        // Time passes while the box is up; no timer may bring a second message.
        QTest::qWait(200);
    };
    timer("Timer1")->setInterval(10);
    sequence().onTimer1();

    ASSERT_EQ(messages().size(), 1U);
    EXPECT_EQ(messages()[0].text, "ERROR: Cannot read file");
    EXPECT_EQ(messages()[0].icon, MessageIcon::Critical);
    EXPECT_EQ(messages()[0].window, &form) << "the box belongs to the show, so it stays in front";
    EXPECT_TRUE(timersStoppedWhileShown);
    EXPECT_EQ(centreWhileShown, QColor(Qt::red)) << "the last picture stays behind the message";
    ASSERT_EQ(m_ended->count(), 1);
    EXPECT_TRUE(m_ended->at(0).at(0).toBool());
    EXPECT_FALSE(form.isVisible());
}

TEST_F(PlayerWindow, AnEmptyProjectEndsWithTheMessageWhenTheStartDelayIsOver)
{
    play({QStringLiteral("Sp=1"), QStringLiteral("Ea=0")});
    EXPECT_TRUE(messages().empty());
    sequence().onTimer2();
    ASSERT_EQ(messages().size(), 1U);
    EXPECT_EQ(messages()[0].text, "ERROR: Cannot read file");
    EXPECT_EQ(m_ended->count(), 1);
}

TEST_F(PlayerWindow, TheMusicStartsBeforeTheFirstPictureFromCurDirAndLoops)
{
    writePicture(path("a.png"), {10, 10});
    play({path("a.png") + " *;Pause=2",
          QStringLiteral(R"(Af=%CurDir\one.wav)"),
          QStringLiteral(R"(Af=%CurDir\two.wav)"),
          QStringLiteral("Ea=1.0")});

    EXPECT_EQ(mp1().objectName(), "MP1");
    EXPECT_TRUE(mp1().autoStart());
    EXPECT_EQ(mp1().volume, -600);
    EXPECT_EQ(mp1().fileNamesGiven, QStringList({path("one.wav")}));
    EXPECT_FALSE(image1()->isVisible()) << "the music comes first";
    EXPECT_EQ(m_form->audioPlaylist().AudioPosition(), 0);

    mp1().finishFile();
    mp1().finishFile();
    EXPECT_EQ(mp1().fileNamesGiven,
              QStringList({path("one.wav"), path("two.wav"), path("one.wav")}));
}

TEST_F(PlayerWindow, AShowOnAStickFindsItsCurDirFilesBesideItsProjectUnlessThePlayerHasThem)
{
    // The player is installed elsewhere (m_dir); the show lies on a stick with its files.
    QTemporaryDir stick;
    writePicture(stick.filePath("green.png"), {40, 40}, Qt::green);
    writePicture(stick.filePath("both.png"), {40, 40}, Qt::yellow);
    writePicture(path("both.png"), {40, 40}, Qt::blue);
    writeToneWav(stick.filePath("tune.wav"), 100);
    const QString project = stick.filePath("show.ssp");
    writeFileBytes(project,
                   "%CurDir\\green.png *;Pause=1\r\n%CurDir\\both.png *;Pause=1\r\n"
                   "Af=%CurDir\\tune.wav\r\nEa=1\r\n");
    Form1 &form = makeWindow(project);
    ASSERT_TRUE(form.start());
    EXPECT_EQ(mp1().fileNamesGiven, QStringList({stick.filePath("tune.wav")}));

    sequence().onTimer2();
    EXPECT_EQ(pixelAt(form.grab().toImage(), form.rect().center()), QColor(Qt::green));
    sequence().onTimer1();
    EXPECT_EQ(pixelAt(form.grab().toImage(), form.rect().center()), QColor(Qt::blue))
        << "the player's own folder wins";
    EXPECT_TRUE(messages().empty());
}

TEST_F(PlayerWindow, WithoutAnAudioSwitchOfOneNothingIsHeard)
{
    for (const QString &line : {QStringLiteral("Ea=0"), QStringLiteral("Ea="), QString()}) {
        play({QStringLiteral("Af=/music/a.mp3"), line});
        EXPECT_TRUE(mp1().fileNamesGiven.isEmpty()) << line.toStdString();
        EXPECT_EQ(m_form->audioPlaylist().List3(), QStringList({"/music/a.mp3"}));
    }
}

TEST_F(PlayerWindow, TheTestRunPlaysTestrunTestFromTheProgramDirectoryAndOnlyClosesItsWindow)
{
    writePicture(path("a.png"), {30, 30});
    writeProject(QStringLiteral("testrun.test"),
                 {QStringLiteral(R"(%CurDir\a.png *;Pause=1)"),
                  QStringLiteral(R"(%CurDir\missing.png *;Pause=1)"),
                  QStringLiteral(R"(Af=%CurDir\a.wav)"),
                  QStringLiteral("Ea=1")});
    Form1 &form = makeWindow(QStringLiteral("ignored.ssp"), PlayerVariant::TestRun);
    ASSERT_TRUE(form.start());
    EXPECT_TRUE(m_platform.files.requests.empty()) << "no dialog";
    EXPECT_EQ(sequence().List1().size(), 2);

    sequence().onTimer2();
    sequence().onTimer1();
    ASSERT_EQ(messages().size(), 1U);
    EXPECT_EQ(messages()[0].text, "ERROR: Unable to test project");
    EXPECT_FALSE(form.isVisible());
    EXPECT_FALSE(mp1().isPlaying());
    EXPECT_EQ(m_ended->count(), 1);
}

TEST_F(PlayerWindow, ClosingTheTestRunWindowStopsItsTimersAndMusic)
{
    writePicture(path("a.png"), {30, 30});
    writeProject(QStringLiteral("testrun.test"),
                 {path("a.png") + " *;Pause=1", "Af=" + path("a.wav"), "Ea=1"});
    Form1 &form = makeWindow(QString(), PlayerVariant::TestRun);
    ASSERT_TRUE(form.start());
    sequence().onTimer2();
    ASSERT_TRUE(mp1().isPlaying());

    form.close();
    EXPECT_FALSE(timer("Timer1")->isActive());
    EXPECT_FALSE(timer("Timer2")->isActive());
    EXPECT_FALSE(mp1().isPlaying());
    EXPECT_EQ(m_ended->count(), 1);
    mp1().finishFile();
    EXPECT_EQ(mp1().fileNamesGiven.size(), 1) << "no music after the window closed";
}

TEST_F(PlayerWindow, TheTestRunWithoutItsFileReportsTheSystemsWords)
{
    Form1 &form = makeWindow(QString(), PlayerVariant::TestRun);
    EXPECT_FALSE(form.start());
    ASSERT_EQ(messages().size(), 1U);
    EXPECT_EQ(messages()[0].text, "No such file or directory");
    EXPECT_FALSE(form.isVisible());
}

TEST_F(PlayerWindow, RealMusicOfWhichNothingPlaysIsCheckedOnceAndNeverOpened)
{
    writeFileBytes(path("noise.mp3"), QByteArray(5000, '\x5a'));
    writeToneWav(path("silent.wav"), 0); // a header and not one sample
    writePicture(path("still.png"), {10, 10});
    writeProject(QStringLiteral("music.ssp"),
                 {path("still.png") + " *;Pause=1",
                  "Af=" + path("noise.mp3"),
                  "Af=" + path("silent.wav"),
                  "Af=" + path("missing.ogg"),
                  "Ea=1"});
    PlatformServices services = m_platform.services();
    services.createMusicPlayer = [](QObject *parent) -> MediaPlayer * {
        return new GstMusicPlayer(parent);
    };
    Form1 form(services, {PlayerVariant::Showvale, m_dir.path(), path("music.ssp")});
    auto *mp1 = form.findChild<MediaPlayer *>(QStringLiteral("MP1"));
    QSignalSpy checks(mp1, &MediaPlayer::playableChecked);
    QSignalSpy opened(mp1, &MediaPlayer::fileNameChanged);
    ASSERT_TRUE(form.start());
    ASSERT_TRUE(QTest::qWaitFor([&] { return checks.count() >= 3; }, 10000));
    QTest::qWait(1500); // long enough for thousands of reopenings, and for a picture
    EXPECT_EQ(checks.count(), 3) << "a file is checked again";
    EXPECT_EQ(opened.count(), 0) << "a file that cannot play was given to the player";
    EXPECT_TRUE(form.imageSequence().Timer1()->isActive()) << "the pictures go on";
    EXPECT_TRUE(m_platform.messages.shown.empty());
    form.close();
}
