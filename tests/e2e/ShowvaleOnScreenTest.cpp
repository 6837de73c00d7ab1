#include "project/ProjectWriter.h"
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
#include <QtEndian>

#include <gtest/gtest.h>

#include <algorithm>
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

// The index of the sound server's playback stream that the process plays into, if any.
std::optional<int> playbackStreamOf(qint64 pid)
{
    QProcess pactl;
    pactl.start(QStringLiteral("pactl"), {QStringLiteral("list"), QStringLiteral("sink-inputs")});
    if (!pactl.waitForFinished(5000) || pactl.exitCode() != 0)
        return std::nullopt;
    const QString listing = QString::fromLocal8Bit(pactl.readAllStandardOutput());
    const QString owner = QStringLiteral("application.process.id = \"%1\"").arg(pid);
    for (const QString &entry : listing.split(QStringLiteral("Sink Input #"), Qt::SkipEmptyParts)) {
        if (entry.contains(owner))
            return entry.section(u'\n', 0, 0).trimmed().toInt();
    }
    return std::nullopt;
}

constexpr int kRate = kTestSoundRate;

// Records one playback stream for the given time: 16-bit mono samples at 22050 Hz.
QList<qint16> recordStream(int stream, int milliseconds)
{
    QProcess parec;
    parec.start(QStringLiteral("parec"),
                {QStringLiteral("--monitor-stream=%1").arg(stream),
                 QStringLiteral("--raw"),
                 QStringLiteral("--format=s16le"),
                 QStringLiteral("--rate=%1").arg(kRate),
                 QStringLiteral("--channels=1")});
    if (!parec.waitForStarted(5000))
        return {};
    QByteArray bytes;
    const QDeadlineTimer deadline(milliseconds + 3000);
    const qsizetype wanted = qsizetype(kRate) * 2 * milliseconds / 1000;
    while (bytes.size() < wanted && !deadline.hasExpired()
           && (parec.state() == QProcess::Running || parec.bytesAvailable() > 0)) {
        parec.waitForReadyRead(100);
        bytes += parec.readAllStandardOutput();
    }
    parec.kill();
    parec.waitForFinished(3000);
    QList<qint16> samples;
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2)
        samples << static_cast<qint16>(qFromLittleEndian<quint16>(bytes.constData() + i));
    return samples;
}

// The samples from the first to the last that is clearly not silence: a stream starts and ends
// with a little silence around what was played.
QList<qint16> audiblePart(const QList<qint16> &samples)
{
    auto audible = [](qint16 sample) { return std::abs(sample) > 2000; };
    const auto first = std::find_if(samples.cbegin(), samples.cend(), audible);
    const auto last = std::find_if(samples.crbegin(), samples.crend(), audible);
    if (first == samples.cend())
        return {};
    return QList<qint16>(first, last.base());
}

// Which of the tones plays, in order, from 50 ms pieces of the recording; a tone counts once it
// lasts 150 ms, so the piece where one tone gives way to the next cannot pass for a third.
QList<int> toneOrder(const QList<qint16> &samples, const QList<double> &tones)
{
    constexpr int kPiece = kRate / 20;
    QList<int> order;
    int current = -1;
    int run = 0;
    for (qsizetype at = 0; at + kPiece <= samples.size(); at += kPiece) {
        const double frequency = toneFrequency(samples.mid(at, kPiece));
        const auto tone = std::find_if(tones.cbegin(), tones.cend(), [&](double f) {
            return std::abs(f - frequency) < 40;
        });
        const int heard = tone == tones.cend() ? -1 : int(tone - tones.cbegin());
        run = heard == current ? run + 1 : 1;
        current = heard;
        if (run == 3 && heard >= 0 && (order.isEmpty() || order.last() != heard))
            order << heard;
    }
    return order;
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

TEST_F(ShowvaleOnScreen, TheMusicPlaysInOrderAndLoopsWhileThePictureShows)
{
    const QList<double> tones{500, 800, 1100};
    ProjectSnapshot project;
    for (const double tone : tones) {
        project.audioPaths << m_dir.filePath(QStringLiteral("tone%1.wav").arg(tone));
        writeToneWav(project.audioPaths.last(), 600, int(tone));
    }
    const QString red = m_dir.filePath(QStringLiteral("red.png"));
    writePicture(red, {100, 100}, Qt::red);
    project.imagePaths = {red};
    project.pauses = {QStringLiteral("0")};
    project.audio = 1;
    const QString path = m_dir.filePath(QStringLiteral("music.ssp"));
    writeFileBytes(path, projectFileBytes(project));
    launch(path);

    // The player's own stream on the sound server, so no other program's sound counts; look
    // again until a stream gives sound.
    std::optional<int> stream;
    QList<qint16> heard;
    waitUntil(
        [&] {
            stream = playbackStreamOf(m_player.processId());
            if (stream)
                heard = audiblePart(recordStream(*stream, 3000));
            return heard.size() > kRate || m_player.state() != QProcess::Running;
        },
        15000);
    ASSERT_TRUE(stream.has_value())
        << "showvale plays nothing to the sound server (is it running?)";
    ASSERT_GT(heard.size(), kRate) << "less than a second of sound";
    EXPECT_GT(loudness(heard), 1000.0);
    // Each file followed by the next, the first again after the last.
    const QList<int> order = toneOrder(heard, tones);
    ASSERT_GE(order.size(), 4) << "fewer than four files heard";
    for (qsizetype i = 1; i < order.size(); ++i)
        EXPECT_EQ(order.at(i), (order.at(i - 1) + 1) % 3) << "after file " << order.at(i - 1);

    QImage shot;
    ASSERT_EQ(watchUntilPicture(Qt::red, &shot).last(), ScreenState::Picture);
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
