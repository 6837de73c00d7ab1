#include "EditorWindow.h"
#include "editor/TextListBox.h"
#include "player/AudioPlaylist.h"
#include "player/Form1.h"
#include "player/ImageSequence.h"
#include "support/FileSizeLimit.h"
#include "support/TestFiles.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QDir>
#include <QPointer>

namespace {

class TestRunTest : public ProjectPanelTest
{
protected:
    void pressTest() const { click("Command15"); }

    // The test run's player window, when exactly one is open.
    Form1 *player()
    {
        const QList<QWidget *> players = otherWindows("Form1");
        EXPECT_LE(players.size(), 1);
        return players.isEmpty() ? nullptr : qobject_cast<Form1 *>(players.front());
    }

    [[nodiscard]] QString testFile() const
    {
        return programDirectory.filePath(QStringLiteral("testrun.test"));
    }

    // Two real pictures and a tune, stretched, with audio on.
    void enterProject()
    {
        window->commands().appendImageEntry(picturePath(QStringLiteral("red.png")),
                                            QStringLiteral("5"));
        window->commands().appendImageEntry(picturePath(QStringLiteral("blue, too.png"), Qt::blue),
                                            QStringLiteral("12"));
        window->commands().appendAudioPath(QStringLiteral("%CurDir\\theme.mp3"));
        control<QCheckBox>("Check1")->setChecked(true);
        control<QCheckBox>("Check2")->setChecked(true);
        settle();
    }
};

} // namespace

TEST_F(TestRunTest, WritesWhatSaveWritesAndPlaysItInAWindowOfItsOwn)
{
    enterProject();
    pressTest();
    const QString saved = files.filePath(QStringLiteral("saved.ssp"));
    answerDialog(saved);
    click("Command12");

    EXPECT_EQ(readFileBytes(testFile()), readFileBytes(saved));
    // Only the save said something.
    ASSERT_EQ(platform.messages.shown.size(), 1u);
    EXPECT_EQ(platform.messages.shown[0].text, QStringLiteral("Project saved"));

    Form1 *show = player();
    ASSERT_NE(show, nullptr);
    EXPECT_EQ(show->variant(), PlayerVariant::TestRun);
    EXPECT_EQ(show->parentWidget(), nullptr);
    EXPECT_EQ(show->windowModality(), Qt::NonModal);
    EXPECT_TRUE(window->isEnabled());
    EXPECT_EQ(show->imageSequence().List1(), shownProject().imagePaths);
    EXPECT_EQ(show->StretchSetting(), QStringLiteral("1"));
    // "%CurDir" is the editor's program directory.
    EXPECT_EQ(platform.mediaPlayers.last()->fileNamesGiven,
              QStringList{programDirectory.filePath(QStringLiteral("theme.mp3"))});
}

TEST_F(TestRunTest, TestingAgainRewritesTheFileAndOnlyRaisesTheOpenWindow)
{
    enterProject();
    pressTest();
    QPointer<Form1> first = player();
    ASSERT_FALSE(first.isNull());
    const QStringList playing = first->imageSequence().List1();

    window->commands().appendImageEntry(QStringLiteral("later.jpg"), QStringLiteral("2"));
    pressTest();
    EXPECT_TRUE(readFileBytes(testFile()).contains("later.jpg *;Pause=2\r\n"));
    EXPECT_EQ(otherWindows("Form1").size(), 1);
    EXPECT_EQ(player(), first.data());
    // It plays what it read when it opened.
    EXPECT_EQ(first->imageSequence().List1(), playing);
    EXPECT_TRUE(platform.messages.shown.empty());
}

TEST_F(TestRunTest, ClickingTheShowReturnsToTheEditorAsItWas)
{
    enterProject();
    clickRow("List1", 1);
    const ProjectSnapshot before = shownProject();
    pressTest();
    QPointer<Form1> show = player();
    ASSERT_FALSE(show.isNull());
    settle();

    QTest::mouseClick(show, Qt::LeftButton, {}, QPoint(10, 10));
    finishClosedWindows();
    EXPECT_TRUE(show.isNull());
    EXPECT_TRUE(window->isVisible());
    QTRY_VERIFY(window->isActiveWindow());
    const ProjectSnapshot after = shownProject();
    EXPECT_EQ(after.imagePaths, before.imagePaths);
    EXPECT_EQ(after.pauses, before.pauses);
    EXPECT_EQ(after.audioPaths, before.audioPaths);
    EXPECT_EQ(after.stretch, 1);
    EXPECT_EQ(after.audio, 1);
    EXPECT_EQ(control<TextListBox>("List1")->selectedRow(), 1);
    EXPECT_EQ(control<TextListBox>("List2")->selectedRow(), 1);
    EXPECT_TRUE(control<QCheckBox>("Check1")->isChecked());
    EXPECT_TRUE(platform.messages.shown.empty());

    // The next test opens a new window, which reads the file afresh.
    window->commands().appendImageEntry(QStringLiteral("later.jpg"), QStringLiteral("2"));
    pressTest();
    ASSERT_NE(player(), nullptr);
    EXPECT_EQ(player()->imageSequence().List1().size(), 3);
}

TEST_F(TestRunTest, TestingRightAfterAShowEndedOpensANewWindow)
{
    enterProject();
    pressTest();
    QPointer<Form1> ended = player();
    ASSERT_FALSE(ended.isNull());
    QTest::mouseClick(ended, Qt::LeftButton, {}, QPoint(10, 10));
    // Pressed before the ended window has been deleted.
    window->commands().appendImageEntry(QStringLiteral("later.jpg"), QStringLiteral("2"));
    pressTest();
    Form1 *show = player();
    ASSERT_NE(show, nullptr);
    EXPECT_NE(show, ended.data());
    EXPECT_EQ(show->imageSequence().List1().size(), 3);
}

TEST_F(TestRunTest, AProjectWithoutPicturesEndsAfterTheStartDelayWithItsOwnMessage)
{
    pressTest();
    QPointer<Form1> show = player();
    ASSERT_FALSE(show.isNull());
    EXPECT_TRUE(platform.messages.shown.empty());
    // The start delay passes as it does for a user.
    QTRY_COMPARE_WITH_TIMEOUT(platform.messages.shown.size(), 1u, 10000);
    EXPECT_EQ(platform.messages.shown[0].text, QStringLiteral("ERROR: Unable to test project"));
    EXPECT_EQ(platform.messages.shown[0].icon, MessageIcon::Critical);
    finishClosedWindows();
    EXPECT_TRUE(show.isNull());
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(readFileBytes(testFile()), QByteArray("Sp=0\r\nEa=0\r\n"));
}

TEST_F(TestRunTest, WhereTheProgramDirectoryCannotBeWrittenTheUsersDataFolderTakesTheFile)
{
    enterProject();
    // The superuser may write anywhere, so the folders are made impossible instead: the program
    // directory is gone, and a file blocks the data folder.
    ASSERT_TRUE(programDirectory.remove());
    const QString blocker = userHome.filePath(QStringLiteral("share"));
    writeFileBytes(blocker, "in the way");
    pressTest();
    finishClosedWindows();
    // Nowhere to write: the player's report of the file it could not read, nothing from the
    // editor.
    ASSERT_EQ(platform.messages.shown.size(), 1u);
    EXPECT_FALSE(platform.messages.shown[0].text.contains(QStringLiteral("Unable to save")));
    EXPECT_FALSE(platform.messages.shown[0].text.isEmpty());
    EXPECT_EQ(platform.messages.shown[0].icon, MessageIcon::Critical);
    EXPECT_TRUE(otherWindows("Form1").isEmpty());
    EXPECT_TRUE(window->isVisible());

    // The data folder is made when missing, and the show plays from there.
    ASSERT_TRUE(QFile::remove(blocker));
    pressTest();
    const QString saved = QDir(userDataDirectory()).filePath(QStringLiteral("testrun.test"));
    EXPECT_EQ(readFileBytes(saved), projectFileBytes(shownProject()));
    ASSERT_NE(player(), nullptr);
    EXPECT_EQ(player()->imageSequence().List1(), shownProject().imagePaths);
    EXPECT_EQ(platform.messages.shown.size(), 1u);
}

TEST_F(TestRunTest, ATestAfterOpenFindsCurDirPicturesBesideTheProjectAndAfterNewDoesNot)
{
    ASSERT_TRUE(QDir(files.path()).mkdir(QStringLiteral("stick")));
    const QDir stick(files.filePath(QStringLiteral("stick")));
    writePicture(stick.filePath(QStringLiteral("green.png")), {40, 40}, Qt::green);
    writeFileBytes(stick.filePath(QStringLiteral("show.ssp")),
                   "%CurDir\\green.png *;Pause=1\r\nSp=1\r\nEa=0\r\n");
    answerDialog(stick.filePath(QStringLiteral("show.ssp")));
    click("Command13");
    pressTest();
    ASSERT_NE(player(), nullptr);
    player()->imageSequence().onTimer2();
    ASSERT_NE(player(), nullptr) << "the picture was found";
    const QImage shown = player()->grab().toImage();
    EXPECT_EQ(shown.pixelColor(shown.rect().center()), QColor(Qt::green));
    QTest::mouseClick(player(), Qt::LeftButton, {}, QPoint(10, 10));
    finishClosedWindows();
    EXPECT_TRUE(platform.messages.shown.empty());

    click("Command14"); // New
    window->commands().appendImageEntry(QStringLiteral("%CurDir\\green.png"), QStringLiteral("1"));
    pressTest();
    ASSERT_NE(player(), nullptr);
    player()->imageSequence().onTimer2();
    ASSERT_EQ(platform.messages.shown.size(), 1u);
    EXPECT_EQ(platform.messages.shown[0].text, QStringLiteral("ERROR: Unable to test project"));
}

TEST_F(TestRunTest, AFileThatCannotBeRewrittenPlaysTheOlderProject)
{
    const QString older = picturePath(QStringLiteral("older.png"), Qt::green);
    writeFileBytes(testFile(), (older + QStringLiteral(" *;Pause=4\r\nSp=0\r\nEa=0\r\n")).toUtf8());
    enterProject();
    {
        const FileSizeLimit full(0); // not one byte more fits on the disk
        pressTest();
    }
    EXPECT_TRUE(platform.messages.shown.empty());
    EXPECT_EQ(readFileBytes(testFile()),
              (older + QStringLiteral(" *;Pause=4\r\nSp=0\r\nEa=0\r\n")).toUtf8());
    ASSERT_NE(player(), nullptr);
    EXPECT_EQ(player()->imageSequence().List1(), QStringList{older});
}

TEST_F(TestRunTest, TheShowPlaysOnWhenTheEditorWindowCloses)
{
    enterProject();
    pressTest();
    QPointer<Form1> show = player();
    ASSERT_FALSE(show.isNull());
    QTest::keyClick(window.get(), Qt::Key_F4);
    window.reset();
    finishClosedWindows();
    ASSERT_FALSE(show.isNull());
    EXPECT_TRUE(show->isVisible());

    QTest::mouseClick(show, Qt::LeftButton, {}, QPoint(10, 10));
    finishClosedWindows();
    EXPECT_TRUE(show.isNull());
}
