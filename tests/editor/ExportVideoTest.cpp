#include "EditorWindow.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>

namespace {

class ExportVideoTest : public EditorWindowTest
{
protected:
    void exportVideo(const QString &answer)
    {
        answerDialog(answer);
        menuItem("mnuExportVideo")->trigger();
    }

    [[nodiscard]] QProgressDialog *progress() const
    {
        return window->findChild<QProgressDialog *>(QStringLiteral("exportProgress"));
    }

    bool waitForMessages(std::size_t count)
    {
        return QTest::qWaitFor([&] { return platform.messages.shown.size() >= count; }, 120000);
    }

    // What is in the folder of the videos, hidden partial files included.
    [[nodiscard]] QStringList videoFolder() const
    {
        return QDir(files.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }
};

} // namespace

TEST_F(ExportVideoTest, ExportsWhatTheWindowHoldsWithoutSavingIt)
{
    // Beside the program, as on a disc: "%CurDir" finds it there, as in the test run.
    writePicture(programDirectory.filePath(QStringLiteral("red.png")), {64, 48}, Qt::red);
    window->commands().appendImageEntry(QStringLiteral("%CurDir\\red.png"), QStringLiteral("1"));
    const QString broken = files.filePath(QStringLiteral("broken.png"));
    writeFileBytes(broken, "\x89PNG broken");
    window->commands().appendImageEntry(broken, QStringLiteral("1"));
    settle();

    // A name typed without an extension gets ".mp4".
    const QString video = files.filePath(QStringLiteral("holiday"));
    exportVideo(video);
    ASSERT_EQ(platform.files.requests.size(), 1u);
    EXPECT_EQ(platform.files.requests[0].mode, FileDialogMode::Save);
    EXPECT_EQ(platform.files.requests[0].nameFilters,
              QStringList{QStringLiteral("MP4 video (*.mp4)")});
    ASSERT_TRUE(waitForMessages(1));
    EXPECT_EQ(platform.messages.shown[0].text,
              QStringLiteral("Unable to export video\r\nline 2: picture cannot be decoded: ")
                  + broken);
    EXPECT_EQ(platform.messages.shown[0].icon, MessageIcon::Critical);
    EXPECT_EQ(videoFolder(), QStringList{QStringLiteral("broken.png")});

    // The preview of the broken picture says so when it is selected for removal.
    clickRow("List1", 1);
    clickButton("Command3");
    const std::size_t shownBefore = platform.messages.shown.size();
    exportVideo(video);
    ASSERT_TRUE(waitForMessages(shownBefore + 1));
    EXPECT_EQ(platform.files.requests[1].initialFileName, video + QStringLiteral(".mp4"));
    EXPECT_EQ(platform.messages.shown.back().text, QStringLiteral("Video exported"));
    EXPECT_EQ(platform.messages.shown.back().icon, MessageIcon::Information);
    EXPECT_EQ(videoFolder(),
              (QStringList{QStringLiteral("broken.png"), QStringLiteral("holiday.mp4")}));
    EXPECT_EQ(readFileBytes(video + QStringLiteral(".mp4")).mid(4, 4), QByteArray("ftyp"));
    // Nothing was saved on the way.
    EXPECT_FALSE(QFileInfo::exists(programDirectory.filePath(QStringLiteral("testrun.test"))));
}

TEST_F(ExportVideoTest, CancelInTheMiddleLeavesNoFileAndTheWindowAnswersThroughout)
{
    window->commands().appendImageEntry(picturePath(QStringLiteral("red.png")),
                                        QStringLiteral("60"));
    settle();
    exportVideo(files.filePath(QStringLiteral("long.mp4")));
    QPointer<QProgressDialog> dialog = progress();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Vistelle"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialog && dialog->value() >= 2; }, 60000));

    // The window answers while the video is being made, which happens in a partial file.
    clickSelector("command9");
    EXPECT_TRUE(control("AudioFrame")->isVisible());
    EXPECT_EQ(videoFolder().filter(QStringLiteral(".part")).size(), 1)
        << videoFolder().join(u' ').toStdString();

    auto *cancel = dialog->findChild<QPushButton *>();
    ASSERT_NE(cancel, nullptr);
    QTest::mouseClick(cancel, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialog.isNull(); }, 30000));
    EXPECT_EQ(videoFolder(), QStringList{QStringLiteral("red.png")});
    EXPECT_TRUE(platform.messages.shown.empty());
}
