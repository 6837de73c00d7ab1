#include "support/SoundSamples.h"
#include "support/TestFiles.h"

#include <QColorSpace>
#include <QDir>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>
#include <QtEndian>

#include <gtest/gtest.h>

namespace {

constexpr QSize kVideo{640, 360};

struct ProgramRun
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// Runs a program to its end; the export is run with no display at all.
ProgramRun run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QLatin1String(name));
    process.setProcessEnvironment(env);
    process.start(program, arguments);
    if (!process.waitForFinished(120000))
        return {};
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

ProgramRun exportShow(const QString &project, const QString &video)
{
    return run(QStringLiteral(SHOWVALE_PROGRAM),
               {QStringLiteral("--export"),
                project,
                video,
                QStringLiteral("--size"),
                QStringLiteral("%1x%2").arg(kVideo.width()).arg(kVideo.height())});
}

// Streams and duration as ffprobe, another program than the one that wrote the file, reads them.
QJsonObject probe(const QString &video)
{
    const ProgramRun probed = run(QStringLiteral("ffprobe"),
                                  {QStringLiteral("-v"),
                                   QStringLiteral("error"),
                                   QStringLiteral("-show_entries"),
                                   QStringLiteral(
                                       "format=duration:stream=codec_type,codec_name,pix_fmt,"
                                       "width,height,r_frame_rate,avg_frame_rate"),
                                   QStringLiteral("-of"),
                                   QStringLiteral("json"),
                                   video});
    return QJsonDocument::fromJson(probed.out).object();
}

QImage frameAt(const QString &video, double seconds)
{
    const ProgramRun decoded = run(QStringLiteral("ffmpeg"),
                                   {QStringLiteral("-v"),
                                    QStringLiteral("error"),
                                    QStringLiteral("-ss"),
                                    QString::number(seconds),
                                    QStringLiteral("-i"),
                                    video,
                                    QStringLiteral("-frames:v"),
                                    QStringLiteral("1"),
                                    QStringLiteral("-f"),
                                    QStringLiteral("rawvideo"),
                                    QStringLiteral("-pix_fmt"),
                                    QStringLiteral("rgb24"),
                                    QStringLiteral("-")});
    if (decoded.out.size() != kVideo.width() * kVideo.height() * 3)
        return {};
    return QImage(reinterpret_cast<const uchar *>(decoded.out.constData()),
                  kVideo.width(),
                  kVideo.height(),
                  kVideo.width() * 3,
                  QImage::Format_RGB888)
        .copy();
}

// The sound track as 16-bit mono samples at the rate the sound helpers expect.
QList<qint16> soundTrack(const QString &video)
{
    const ProgramRun decoded = run(QStringLiteral("ffmpeg"),
                                   {QStringLiteral("-v"),
                                    QStringLiteral("error"),
                                    QStringLiteral("-i"),
                                    video,
                                    QStringLiteral("-ac"),
                                    QStringLiteral("1"),
                                    QStringLiteral("-ar"),
                                    QString::number(kTestSoundRate),
                                    QStringLiteral("-f"),
                                    QStringLiteral("s16le"),
                                    QStringLiteral("-")});
    QList<qint16> samples;
    for (qsizetype i = 0; i + 1 < decoded.out.size(); i += 2)
        samples << static_cast<qint16>(qFromLittleEndian<quint16>(decoded.out.constData() + i));
    return samples;
}

QList<qint16> soundBetween(const QList<qint16> &samples, double from, double to)
{
    return samples.mid(static_cast<qsizetype>(from * kTestSoundRate),
                       static_cast<qsizetype>((to - from) * kTestSoundRate));
}

bool near(QColor a, QColor b)
{
    return std::abs(a.red() - b.red()) < 20 && std::abs(a.green() - b.green()) < 20
           && std::abs(a.blue() - b.blue()) < 20;
}

class ShowvaleExport : public ::testing::Test
{
protected:
    QString path(const char *name) const { return m_dir.filePath(QLatin1String(name)); }

    // Everything in the folder but the files the test itself wrote.
    QStringList videosAndLeftovers() const
    {
        return QDir(m_dir.path())
            .entryList({QStringLiteral("*.mp4*"),
                        QStringLiteral(".*.part"),
                        QStringLiteral(".*.mdat")},
                       QDir::Files | QDir::Hidden);
    }

    QTemporaryDir m_dir;
};

} // namespace

TEST_F(ShowvaleExport, WritesWhatTheShowWouldShowAndPlayWithMusicThatLoops)
{
    writePicture(path("red.png"), {200, 150}, Qt::red);
    // The green photo is in Adobe RGB with its profile, as a camera writes it: the video, which
    // is sRGB, shows it green again, not the pale (144,255,60) its samples are.
    QImage green(200, 150, QImage::Format_RGB32);
    green.fill(Qt::green);
    green.convertToColorSpace(QColorSpace::AdobeRgb);
    ASSERT_TRUE(green.save(path("green.png")));
    writePicture(path("blue.png"), {200, 150}, Qt::blue);
    writeToneWav(path("low.wav"), 2000, 440);
    writeToneWav(path("high.wav"), 1000, 880);
    // "%CurDir" names are found beside the project when they are not beside the player; music
    // that cannot be played is passed over.
    writeFileBytes(path("show.ssp"),
                   "%CurDir\\red.png *;Pause=2\r\n"
                   "%CurDir\\green.png *;Pause=1\r\n"
                   "%CurDir\\blue.png *;Pause=1\r\n"
                   "Af=%CurDir\\low.wav\r\nAf=%CurDir\\gone.wav\r\nAf=%CurDir\\high.wav\r\n"
                   "Sp=0\r\nEa=1\r\n");
    const ProgramRun exported = exportShow(path("show.ssp"), path("show.mp4"));
    ASSERT_EQ(exported.exitCode, 0) << exported.err.toStdString();
    // Not a terminal: one line per 10 %.
    EXPECT_EQ(exported.out.count("Exporting:"), 10) << exported.out.toStdString();
    EXPECT_TRUE(exported.out.contains("100 %"));
    EXPECT_EQ(videosAndLeftovers(), QStringList{QStringLiteral("show.mp4")});

    // One second of black, then 2 + 1 + 1 seconds of pictures.
    const QJsonObject info = probe(path("show.mp4"));
    EXPECT_NEAR(info[u"format"][u"duration"].toString().toDouble(), 5.0, 0.1);
    const QJsonArray streams = info[u"streams"].toArray();
    ASSERT_EQ(streams.size(), 2);
    const QJsonObject video = streams.at(0).toObject();
    EXPECT_EQ(video[u"codec_name"].toString(), QStringLiteral("h264"));
    EXPECT_EQ(video[u"pix_fmt"].toString(), QStringLiteral("yuv420p"));
    EXPECT_EQ(video[u"width"].toInt(), kVideo.width());
    EXPECT_EQ(video[u"height"].toInt(), kVideo.height());
    EXPECT_EQ(video[u"r_frame_rate"].toString(), QStringLiteral("25/1"));
    EXPECT_EQ(video[u"avg_frame_rate"].toString(), QStringLiteral("25/1"));
    EXPECT_EQ(streams.at(1).toObject()[u"codec_name"].toString(), QStringLiteral("aac"));
    // The index comes first, so the video plays while it downloads.
    const QByteArray bytes = readFileBytes(path("show.mp4"));
    EXPECT_LT(bytes.indexOf("moov"), bytes.indexOf("mdat"));

    const QPoint centre(kVideo.width() / 2, kVideo.height() / 2);
    const std::pair<double, QColor> shown[] = {{0.5, Qt::black},
                                               {1.5, Qt::red},
                                               {3.5, Qt::green},
                                               {4.5, Qt::blue}};
    for (const auto &[seconds, colour] : shown) {
        const QImage frame = frameAt(path("show.mp4"), seconds);
        ASSERT_FALSE(frame.isNull()) << seconds;
        EXPECT_TRUE(near(frame.pixelColor(centre), colour))
            << seconds << " s: " << frame.pixelColor(centre).name().toStdString();
        // At its natural size, centred on black.
        EXPECT_TRUE(near(frame.pixelColor(centre + QPoint(120, 0)), Qt::black)) << seconds;
    }

    // The tones play from the start, one after the other with no gap, and again from the first;
    // the last second fades out.
    const QList<qint16> sound = soundTrack(path("show.mp4"));
    EXPECT_NEAR(toneFrequency(soundBetween(sound, 0.5, 1.5)), 440.0, 20.0);
    EXPECT_NEAR(toneFrequency(soundBetween(sound, 2.2, 2.8)), 880.0, 20.0);
    EXPECT_NEAR(toneFrequency(soundBetween(sound, 3.2, 3.8)), 440.0, 20.0);
    const double full = loudness(soundBetween(sound, 1.0, 1.5));
    EXPECT_GT(loudness(soundBetween(sound, 1.95, 2.05)), full * 0.8);
    EXPECT_LT(loudness(soundBetween(sound, 4.8, 4.95)), full * 0.3);

    // GStreamer's own player plays it to its end without an error.
    const ProgramRun played = run(QStringLiteral("gst-launch-1.0"),
                                  {QStringLiteral("playbin"),
                                   QStringLiteral("uri=")
                                       + QUrl::fromLocalFile(path("show.mp4"))
                                             .toString(QUrl::FullyEncoded),
                                   QStringLiteral("video-sink=fakesink sync=false"),
                                   QStringLiteral("audio-sink=fakesink sync=false")});
    EXPECT_EQ(played.exitCode, 0) << played.out.toStdString() << played.err.toStdString();
    EXPECT_TRUE(played.out.contains("EOS")) << played.out.toStdString();
}

TEST_F(ShowvaleExport, HoldsAPictureThatWaitsForAClickAndFailsWithoutTouchingTheOldVideo)
{
    writePicture(path("red.png"), {200, 150}, Qt::red);
    writePicture(path("blue.png"), {200, 150}, Qt::blue);
    writeFileBytes(path("broken.png"), "\x89PNG broken");
    // Music off: no sound track. The pause 0 picture is held 5 s and is the last.
    writeFileBytes(path("held.ssp"),
                   "%CurDir\\red.png *;Pause=1\r\n%CurDir\\blue.png *;Pause=0\r\n"
                   "%CurDir\\red.png *;Pause=1\r\nAf=%CurDir\\missing.wav\r\nSp=1\r\nEa=0\r\n");
    const ProgramRun held = exportShow(path("held.ssp"), path("held.mp4"));
    ASSERT_EQ(held.exitCode, 0) << held.err.toStdString();
    const QJsonObject info = probe(path("held.mp4"));
    EXPECT_NEAR(info[u"format"][u"duration"].toString().toDouble(), 7.0, 0.1);
    ASSERT_EQ(info[u"streams"].toArray().size(), 1);
    const QImage last = frameAt(path("held.mp4"), 6.9);
    // Stretched over the whole screen.
    EXPECT_TRUE(near(last.pixelColor(kVideo.width() / 2, kVideo.height() / 2), Qt::blue));
    EXPECT_TRUE(near(last.pixelColor(20, 20), Qt::blue));

    const QByteArray before = readFileBytes(path("held.mp4"));
    writeFileBytes(
        path("broken.ssp"),
        "%CurDir\\red.png *;Pause=1\r\n%CurDir\\broken.png *;Pause=1\r\nSp=0\r\nEa=0\r\n");
    const ProgramRun broken = exportShow(path("broken.ssp"), path("held.mp4"));
    EXPECT_EQ(broken.exitCode, 1);
    EXPECT_TRUE(broken.err.contains("line 2: picture cannot be decoded: "
                                    + QFile::encodeName(path("broken.png"))))
        << broken.err.toStdString();
    EXPECT_EQ(readFileBytes(path("held.mp4")), before);
    EXPECT_EQ(videosAndLeftovers(), QStringList{QStringLiteral("held.mp4")});

    const ProgramRun badSize = run(QStringLiteral(SHOWVALE_PROGRAM),
                                   {QStringLiteral("--export"),
                                    path("held.ssp"),
                                    path("other.mp4"),
                                    QStringLiteral("--size"),
                                    QStringLiteral("640")});
    EXPECT_EQ(badSize.exitCode, 1);
    EXPECT_TRUE(badSize.err.contains("--size")) << badSize.err.toStdString();
}
