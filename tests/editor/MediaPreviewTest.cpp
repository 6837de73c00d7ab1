#include "editor/MediaPreviewWidget.h"
#include "platform/QtMediaPlayer.h"
#include "support/TestFiles.h"

#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

TEST(MediaPreview, GivingAFileNeverStartsItTheButtonsDo)
{
    QTemporaryDir dir;
    writeToneWav(dir.filePath("tone.wav"), 3000);
    QtMediaPlayer player;
    MediaPreviewWidget preview(player);
    preview.show();
    player.setFileName(dir.filePath("tone.wav"));
    QTest::qWait(300);
    EXPECT_FALSE(player.isPlaying());

    auto *play = preview.findChild<QToolButton *>(QStringLiteral("play"));
    auto *stop = preview.findChild<QToolButton *>(QStringLiteral("stop"));
    ASSERT_TRUE(play && stop);
    QTest::mouseClick(play, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(player.isPlaying(), 5000);
    QTRY_VERIFY_WITH_TIMEOUT(preview.findChild<QSlider *>(QStringLiteral("position"))->maximum() > 0,
                             5000);
    QTest::mouseClick(stop, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!player.isPlaying(), 5000);
}
