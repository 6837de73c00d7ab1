#include "platform/GstMusicPlayer.h"
#include "platform/QtMediaPlayer.h"
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

TYPED_TEST(EveryMediaPlayer, AFileThatCannotBeOpenedIsReportedLaterNotFromInsideTheCall)
{
    QTemporaryDir dir;
    writeFileBytes(dir.filePath("noise.mp3"), QByteArray(5000, '\x5a'));
    for (const char *name : {"missing.mp3", "noise.mp3"}) {
        TypeParam player;
        player.setAutoStart(true);
        QSignalSpy failures(&player, &MediaPlayer::failed);
        player.setFileName(dir.filePath(name));
        EXPECT_EQ(failures.count(), 0) << name;
        EXPECT_TRUE(failures.wait(5000)) << name;
        EXPECT_EQ(player.fileName(), dir.filePath(name));
    }
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
