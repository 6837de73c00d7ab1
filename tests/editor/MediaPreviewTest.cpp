#include "editor/MediaPreviewWidget.h"
#include "sound/QtMediaPlayer.h"
#include "support/TestFiles.h"

#include <QLabel>
#include <QSignalSpy>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

// A file that cannot be played says so beside the buttons, once, until another file is given;
// a file that plays never starts by itself.
TEST(MediaPreview, GivingAFileNeverStartsItTheButtonsDoAndAFileThatCannotPlaySaysSo)
{
    QTemporaryDir dir;
    writeToneWav(dir.filePath("tone.wav"), 3000);
    writeFileBytes(dir.filePath("text.wav"), "not a sound\n");
    QtMediaPlayer player;
    MediaPreviewWidget preview(player);
    preview.show();
    auto *failure = preview.findChild<QLabel *>(QStringLiteral("failure"));
    auto *play = preview.findChild<QToolButton *>(QStringLiteral("play"));
    ASSERT_TRUE(failure && play);
    QSignalSpy failures(&player, &MediaPlayer::failed);
    player.setFileName(dir.filePath("text.wav"));
    QTRY_VERIFY_WITH_TIMEOUT(failure->isVisible(), 5000);
    QTest::qWait(300);
    EXPECT_EQ(failures.count(), 1);
    EXPECT_EQ(failure->text(), "Cannot play this file");
    EXPECT_FALSE(play->isEnabled());

    player.setFileName(dir.filePath("tone.wav"));
    EXPECT_FALSE(failure->isVisible());
    QTest::qWait(300);
    EXPECT_FALSE(player.isPlaying());

    auto *stop = preview.findChild<QToolButton *>(QStringLiteral("stop"));
    ASSERT_TRUE(stop);
    QTest::mouseClick(play, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(player.isPlaying(), 5000);
    QTRY_VERIFY_WITH_TIMEOUT(preview.findChild<QSlider *>(QStringLiteral("position"))->maximum() > 0,
                             5000);
    QTest::mouseClick(stop, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!player.isPlaying(), 5000);
}
