#include "sound/GstMusicPlayer.h"
#include "sound/QtMediaPlayer.h"
#include "support/TestFiles.h"

#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

TEST(MediaPlayer, VolumeOfMinus600IsAboutHalf)
{
    EXPECT_NEAR(linearVolumeFromHundredthsOfDecibel(-600), 0.5, 0.01);
    EXPECT_FLOAT_EQ(linearVolumeFromHundredthsOfDecibel(0), 1.0F);
    EXPECT_LT(linearVolumeFromHundredthsOfDecibel(-10000), 0.001F);
}

// The editor's preview (QMediaPlayer) and the show's music (GStreamer) keep the same promises.
template<typename Player>
class EveryMediaPlayer : public ::testing::Test
{};
using Players = ::testing::Types<QtMediaPlayer, GstMusicPlayer>;
TYPED_TEST_SUITE(EveryMediaPlayer, Players);

TYPED_TEST(EveryMediaPlayer, PlaysARealWavToItsEndAndSaysSoExactlyOnce)
{
    QTemporaryDir dir;
    writeToneWav(dir.filePath("tone.wav"), 400);

    TypeParam player;
    player.setAutoStart(true);
    player.setVolume(-600);
    QSignalSpy ends(&player, &MediaPlayer::endOfStream);
    QSignalSpy failures(&player, &MediaPlayer::failed);
    player.setFileName(dir.filePath("tone.wav"));
    ASSERT_TRUE(ends.wait(10000)) << "no end of stream";
    QTest::qWait(600);
    EXPECT_EQ(ends.count(), 1);
    EXPECT_EQ(failures.count(), 0);
    EXPECT_FALSE(player.isPlaying());
}

// Each failure is reported once, from the event loop; the same player then plays the next file,
// and a video's sound plays like any other file's while a video without sound fails.
TYPED_TEST(EveryMediaPlayer, AFileThatCannotPlayIsReportedOnceLaterAndTheNextOnePlays)
{
    QTemporaryDir dir;
    writeFileBytes(dir.filePath("noise.mp3"), QByteArray(5000, '\x5a'));
    writeFileBytes(dir.filePath("empty.wav"), {});
    ASSERT_TRUE(writeToneVideo(dir.filePath("silent.mp4"), 500, 0));
    writeToneWav(dir.filePath("tone.wav"), 300);
    QStringList playable{"tone.wav"};
    for (const char *video : {"sound.mp4", "sound.avi", "sound.wmv", "sound.mpg"}) {
        ASSERT_TRUE(writeToneVideo(dir.filePath(video), 500, 700)) << video;
        playable << video;
    }

    TypeParam player;
    player.setAutoStart(true);
    QSignalSpy failures(&player, &MediaPlayer::failed);
    QSignalSpy ends(&player, &MediaPlayer::endOfStream);
    for (const char *name : {"missing.mp3", "noise.mp3", "empty.wav", "silent.mp4"}) {
        failures.clear();
        player.setFileName(dir.filePath(name));
        EXPECT_EQ(failures.count(), 0) << name;
        EXPECT_TRUE(failures.wait(5000)) << name;
        QTest::qWait(200);
        EXPECT_EQ(failures.count(), 1) << name;
        EXPECT_EQ(player.fileName(), dir.filePath(name));
        EXPECT_EQ(ends.count(), 0) << name;

        const QString next = playable.takeFirst();
        failures.clear();
        player.setFileName(dir.filePath(next));
        EXPECT_TRUE(ends.wait(10000)) << qPrintable(next) << " after " << name;
        EXPECT_EQ(failures.count(), 0)
            << qPrintable(next) << " after " << name << ": "
            << (failures.isEmpty() ? "" : qPrintable(failures.first().first().toString()));
        ends.clear();
    }
}

// The check opens each file as the player would and says whether it holds sound, without playing
// it, in the order asked; the player's own output stays untouched.
TEST(GstMusicPlayer, ChecksWhichFilesHoldSoundItCanPlay)
{
    QTemporaryDir dir;
    writeToneWav(dir.filePath("tone.wav"), 300);
    writeToneWav(dir.filePath("header.wav"), 0);
    writeFileBytes(dir.filePath("text.wav"), "not a sound\n");
    writeFileBytes(dir.filePath("empty.mp3"), {});
    ASSERT_TRUE(writeToneVideo(dir.filePath("sound.wmv"), 500, 700));
    ASSERT_TRUE(writeToneVideo(dir.filePath("silent.mp4"), 500, 0));
    const std::vector<std::string> expected{"text.wav: no",
                                            "tone.wav: yes",
                                            "empty.mp3: no",
                                            "sound.wmv: yes",
                                            "missing.ogg: no",
                                            "header.wav: no",
                                            "silent.mp4: no",
                                            "tone.wav: yes"};
    GstMusicPlayer player;
    std::vector<std::string> answers;
    QObject::connect(&player, &MediaPlayer::playableChecked, [&](const QString &file, bool ok) {
        answers.push_back(QFileInfo(file).fileName().toStdString() + (ok ? ": yes" : ": no"));
    });
    for (const std::string &line : expected)
        player.checkPlayable(dir.filePath(QString::fromStdString(line).section(u':', 0, 0)));
    EXPECT_TRUE(answers.empty()) << "answered from inside the call";
    EXPECT_TRUE(QTest::qWaitFor([&] { return answers.size() >= expected.size(); }, 20000));
    EXPECT_EQ(answers, expected);
    EXPECT_FALSE(player.isPlaying());
    EXPECT_TRUE(player.fileName().isEmpty());
}

// The queued files follow the current one without a restart: one end per file played, the
// player already on the next file when the end is reported, and naming that file goes on with
// it. A file queued after itself loops the same way.
TEST(GstMusicPlayer, GoesOnWithTheQueuedFilesAndReportsOneEndPerFile)
{
    QTemporaryDir dir;
    writeToneWav(dir.filePath("a.wav"), 500, 440);
    writeToneWav(dir.filePath("b.wav"), 500, 880);

    GstMusicPlayer player;
    player.setAutoStart(true);
    QStringList playingAfterEachEnd;
    QObject::connect(&player, &MediaPlayer::endOfStream, &player, [&] {
        playingAfterEachEnd << (player.isPlaying() ? QFileInfo(player.fileName()).fileName()
                                                   : QStringLiteral("(stopped)"));
        if (player.isPlaying())
            player.setFileName(player.fileName());
    });
    QSignalSpy failures(&player, &MediaPlayer::failed);
    player.setFileName(dir.filePath("a.wav"));
    for (const char *next : {"b.wav", "a.wav", "a.wav"})
        EXPECT_TRUE(player.queueNext(dir.filePath(next)));
    EXPECT_FALSE(player.queueNext(dir.filePath("missing.wav")));
    EXPECT_EQ(player.queuedCount(), 3);
    EXPECT_TRUE(QTest::qWaitFor([&] { return playingAfterEachEnd.size() >= 4; }, 15000));
    EXPECT_EQ(playingAfterEachEnd, QStringList({"b.wav", "a.wav", "a.wav", "(stopped)"}));
    EXPECT_EQ(player.queuedCount(), 0);
    EXPECT_EQ(failures.count(), 0);
}
