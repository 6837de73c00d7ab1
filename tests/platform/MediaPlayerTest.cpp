#include "platform/QtMediaPlayer.h"
#include "support/TestFiles.h"

#include <QSignalSpy>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

TEST(MediaPlayer, VolumeOfMinus600IsAboutHalf)
{
    EXPECT_NEAR(linearVolumeFromHundredthsOfDecibel(-600), 0.5, 0.01);
    EXPECT_FLOAT_EQ(linearVolumeFromHundredthsOfDecibel(0), 1.0F);
    EXPECT_LT(linearVolumeFromHundredthsOfDecibel(-10000), 0.001F);
}

TEST(MediaPlayer, PlaysARealWavToItsEndAndSaysSoExactlyOnce)
{
    QTemporaryDir dir;
    writeToneWav(dir.filePath("tone.wav"), 400);

    QtMediaPlayer player;
    player.setAutoStart(true);
    player.setVolume(-600);
    QSignalSpy ends(&player, &MediaPlayer::endOfStream);
    QSignalSpy failures(&player, &MediaPlayer::failed);
    player.setFileName(dir.filePath("tone.wav"));
    ASSERT_TRUE(ends.wait(10000)) << "no end of stream";
    QTest::qWait(600);
    EXPECT_EQ(ends.count(), 1);
    EXPECT_EQ(failures.count(), 0);
}

TEST(MediaPlayer, AFileThatCannotBeOpenedIsReportedLaterNotFromInsideTheCall)
{
    QTemporaryDir dir;
    QtMediaPlayer player;
    player.setAutoStart(true);
    QSignalSpy failures(&player, &MediaPlayer::failed);
    player.setFileName(dir.filePath("missing.mp3"));
    EXPECT_EQ(failures.count(), 0);
    ASSERT_TRUE(failures.wait(5000));
    EXPECT_EQ(player.fileName(), dir.filePath("missing.mp3"));
}
