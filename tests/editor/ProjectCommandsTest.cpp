#include "EditorWindow.h"
#include "editor/PicturePreview.h"
#include "editor/TextListBox.h"
#include "project/ProjectWriter.h"
#include "support/FileSizeLimit.h"
#include "support/TestFiles.h"
#include "support/Unprivileged.h"
#include "support/WorkedExample.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>

#include <sys/stat.h>

namespace {

class ProjectCommandsTest : public ProjectPanelTest
{
protected:
    void tick(const char *name) const { ::tick(*control<QCheckBox>(name)); }
    void typePause(const QString &text) const { retype(*control<QLineEdit>("Text1"), text); }
    void keys(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier) const
    {
        QTest::keyClick(window.get(), key, modifiers);
    }

    // The worked example, entered with the image, audio and preference panels.
    void enterWorkedExample()
    {
        clickSelector("command4");
        typePause(QStringLiteral("5"));
        answerDialog(QStringLiteral("C:\\Shows\\intro.jpg"));
        click("Command1");
        tick("Check3");
        typePause(QStringLiteral("12"));
        answerDialog(files.filePath(QStringLiteral("pictures/beach, evening.jpg")));
        click("Command1");

        clickSelector("command9");
        tick("Check4");
        answerDialog(files.filePath(QStringLiteral("music/theme.mp3")));
        click("Command5");

        clickSelector("command7");
        tick("Check1");
        tick("Check2");
        clickSelector("command8");
        settle();
    }

    [[nodiscard]] QString projectFile(const QString &name) const { return files.filePath(name); }
    [[nodiscard]] bool checked(const char *name) const
    {
        return control<QCheckBox>(name)->isChecked();
    }
    [[nodiscard]] bool marked(const char *name) const { return menuItem(name)->isChecked(); }
};

void expectSameProject(const ProjectSnapshot &actual, const ProjectSnapshot &expected)
{
    EXPECT_EQ(actual.imagePaths, expected.imagePaths);
    EXPECT_EQ(actual.pauses, expected.pauses);
    EXPECT_EQ(actual.audioPaths, expected.audioPaths);
    EXPECT_EQ(actual.stretch, expected.stretch);
    EXPECT_EQ(actual.audio, expected.audio);
}

} // namespace

TEST_F(ProjectCommandsTest, SaveThenNewThenLoadBringsTheWorkedExampleBackByteForByte)
{
    enterWorkedExample();
    const ProjectSnapshot entered = shownProject();
    const QString saved = projectFile(QStringLiteral("example.ssp"));
    answerDialog(saved);
    click("Command12");
    EXPECT_EQ(readFileBytes(saved), kWorkedExample);
    ASSERT_EQ(platform.messages.shown.size(), 1u);
    EXPECT_EQ(platform.messages.shown[0].text, QStringLiteral("Project saved"));
    EXPECT_EQ(platform.messages.shown[0].icon, MessageIcon::Information);

    click("Command14");
    EXPECT_TRUE(shownProject().imagePaths.isEmpty());
    answerDialog(saved);
    click("Command13");
    expectSameProject(shownProject(), entered);
    EXPECT_TRUE(marked("mnuStretchedImages"));
    EXPECT_TRUE(marked("mnuEnableAudio"));

    const QString again = projectFile(QStringLiteral("again.ssp"));
    answerDialog(again);
    keys(Qt::Key_S);
    EXPECT_EQ(readFileBytes(again), kWorkedExample);
    EXPECT_EQ(platform.messages.shown.size(), 2u);
}

TEST_F(ProjectCommandsTest, OpenAppendsSoLoadingTwiceDoublesEveryList)
{
    const QString path = projectFile(QStringLiteral("example.ssp"));
    writeFileBytes(path, kWorkedExample);
    window->commands().appendImageEntry(QStringLiteral("already.jpg"), QStringLiteral("4"));
    answerDialog(path);
    keys(Qt::Key_O);
    answerDialog(path);
    menuItem("openprj")->trigger();

    const ProjectSnapshot project = shownProject();
    const QStringList example{QStringLiteral("C:\\Shows\\intro.jpg"),
                              QStringLiteral("%CurDir\\beach, evening.jpg")};
    EXPECT_EQ(project.imagePaths, QStringList{QStringLiteral("already.jpg")} + example + example);
    EXPECT_EQ(project.pauses,
              (QStringList{QStringLiteral("4"),
                           QStringLiteral("5"),
                           QStringLiteral("12"),
                           QStringLiteral("5"),
                           QStringLiteral("12")}));
    EXPECT_EQ(project.audioPaths, QStringList(2, QStringLiteral("%CurDir\\theme.mp3")));
    EXPECT_TRUE(platform.messages.shown.empty());
}

// What the switch lines of a file do to check boxes that were on or off before the load.
struct SwitchCase
{
    const char *name;
    QByteArray lines;
    bool stretchBefore;
    bool audioBefore;
    bool stretchAfter;
    bool audioAfter;
};

class SwitchValueTest : public ProjectCommandsTest, public ::testing::WithParamInterface<SwitchCase>
{};

TEST_P(SwitchValueTest, OnlyAValueOfExactlyOneTurnsASwitchOnAndNothingTurnsItOff)
{
    const SwitchCase &c = GetParam();
    control<QCheckBox>("Check1")->setChecked(c.stretchBefore);
    control<QCheckBox>("Check2")->setChecked(c.audioBefore);
    const QString path = projectFile(QStringLiteral("switches.ssp"));
    writeFileBytes(path, "a.jpg *;Pause=2\r\n" + c.lines);
    answerDialog(path);
    click("Command13");

    EXPECT_EQ(checked("Check1"), c.stretchAfter);
    EXPECT_EQ(marked("mnuStretchedImages"), c.stretchAfter);
    EXPECT_EQ(checked("Check2"), c.audioAfter);
    EXPECT_EQ(marked("mnuEnableAudio"), c.audioAfter);
    EXPECT_EQ(shownProject().imagePaths, QStringList{QStringLiteral("a.jpg")});
}

INSTANTIATE_TEST_SUITE_P(
    Values,
    SwitchValueTest,
    ::testing::Values(
        SwitchCase{"OneTurnsBothOn", "Sp=1\r\nEa=1\r\n", false, false, true, true},
        SwitchCase{"ZeroKeepsThemOn", "Sp=0\r\nEa=0\r\n", true, true, true, true},
        SwitchCase{"ZeroLeavesThemOff", "Sp=0\r\nEa=0\r\n", false, false, false, false},
        SwitchCase{"LeadingZero", "Sp=01\r\nEa=01\r\n", false, false, false, false},
        SwitchCase{"Two", "Sp=2\r\nEa=2\r\n", false, false, false, false},
        SwitchCase{"OnePointZero", "Sp=1.0\r\nEa=1.0\r\n", false, false, false, false},
        SwitchCase{"BlankAfterOne", "Sp=1 \r\nEa= 1\r\n", false, false, false, false},
        SwitchCase{"Empty", "Sp=\r\nEa=\r\n", true, false, true, false},
        SwitchCase{"Missing", "", false, true, false, true},
        SwitchCase{"LaterLineWins", "Sp=1\r\nSp=0\r\nEa=0\r\nEa=1\r\n", false, false, false, true}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(ProjectCommandsTest, LowerCaseSwitchLinesBecomePictures)
{
    const QString path = projectFile(QStringLiteral("lower.ssp"));
    writeFileBytes(path, "sp=1\r\n");
    answerDialog(path);
    click("Command13");
    EXPECT_EQ(shownProject().imagePaths, QStringList{QStringLiteral("sp=1")});
    EXPECT_EQ(shownProject().pauses, QStringList{QStringLiteral("3")});
}

TEST_F(ProjectCommandsTest, NewEmptiesTheProjectButLeavesThePathDisplayAndThePreviewPlayer)
{
    window->commands().appendImageEntry(picturePath(QStringLiteral("red.png")), QStringLiteral("4"));
    window->commands().appendAudioPath(files.filePath(QStringLiteral("tune.mp3")));
    settle();
    clickRow("List1", 0);
    clickSelector("command9");
    clickRow("List3", 0);
    previewPlayer().play();
    typePause(QStringLiteral("9"));
    control<QCheckBox>("Check1")->setChecked(true);
    control<QCheckBox>("Check2")->setChecked(true);
    const QString imagePath = control<QLineEdit>("Text3")->text();
    ASSERT_FALSE(imagePath.isEmpty());
    ASSERT_FALSE(control<PicturePreview>("Image1")->picture().isNull());
    ASSERT_FALSE(control<QLineEdit>("Text2")->text().isEmpty());

    keys(Qt::Key_N);
    settle();

    const ProjectSnapshot project = shownProject();
    EXPECT_TRUE(project.imagePaths.isEmpty());
    EXPECT_TRUE(project.pauses.isEmpty());
    EXPECT_TRUE(project.audioPaths.isEmpty());
    EXPECT_FALSE(checked("Check1"));
    EXPECT_FALSE(marked("mnuStretchedImages"));
    EXPECT_FALSE(checked("Check2"));
    EXPECT_FALSE(marked("mnuEnableAudio"));
    EXPECT_EQ(control<QLineEdit>("Text1")->text(), QStringLiteral("3"));
    EXPECT_TRUE(control<QLineEdit>("Text2")->text().isEmpty());
    EXPECT_TRUE(control<PicturePreview>("Image1")->picture().isNull());
    // Left alone: the image path display, and the preview player with what it plays.
    EXPECT_EQ(control<QLineEdit>("Text3")->text(), imagePath);
    EXPECT_EQ(previewPlayer().fileName(), files.filePath(QStringLiteral("tune.mp3")));
    EXPECT_TRUE(previewPlayer().isPlaying());
    EXPECT_TRUE(platform.messages.shown.empty());
    EXPECT_TRUE(platform.files.requests.empty());

    // The button does the same, also on a project that is new already.
    clickSelector("command8");
    click("Command14");
    EXPECT_FALSE(checked("Check1"));
    EXPECT_FALSE(marked("mnuStretchedImages"));
    EXPECT_EQ(control<QLineEdit>("Text1")->text(), QStringLiteral("3"));
}

TEST_F(ProjectCommandsTest, OpenAndSaveShareOneDialogThatOffersTheLastName)
{
    window->commands().appendImageEntry(QStringLiteral("a.jpg"), QStringLiteral("3"));
    const QString first = projectFile(QStringLiteral("first.ssp"));
    answerDialog(first);
    click("Command12");
    const QString second = projectFile(QStringLiteral("second"));
    writeFileBytes(second, "b.jpg *;Pause=1\r\n");
    answerDialog(second);
    keys(Qt::Key_O);
    // The picture dialog is another one and does not change the name offered.
    answerDialog(std::nullopt);
    menuItem("mnuAddImage")->trigger();
    answerDialog(std::nullopt);
    menuItem("saveprj")->trigger();
    answerDialog(std::nullopt);
    click("Command13");

    const std::vector<FileDialogRequest> &requests = platform.files.requests;
    ASSERT_EQ(requests.size(), 5u);
    EXPECT_EQ(requests[0].mode, FileDialogMode::Save);
    EXPECT_TRUE(requests[0].initialFileName.isEmpty());
    EXPECT_EQ(requests[1].mode, FileDialogMode::Open);
    EXPECT_EQ(requests[1].initialFileName, first);
    EXPECT_EQ(requests[3].mode, FileDialogMode::Save);
    EXPECT_EQ(requests[3].initialFileName, second);
    // A cancel keeps the name.
    EXPECT_EQ(requests[4].initialFileName, second);
    for (const std::size_t i : {0u, 1u, 3u, 4u}) {
        EXPECT_TRUE(requests[i].title.isEmpty()) << i;
        EXPECT_EQ(requests[i].nameFilters, qtNameFilters(QStringLiteral("Slideshow Projects|*.ssp")))
            << i;
    }
    // Cancelled dialogs end their commands without a word.
    EXPECT_EQ(platform.messages.shown.size(), 1u);
    EXPECT_EQ(shownProject().imagePaths,
              (QStringList{QStringLiteral("a.jpg"), QStringLiteral("b.jpg")}));
}

TEST_F(ProjectCommandsTest, SaveReplacesWithoutAskingAndAddsNoExtension)
{
    const QString path = projectFile(QStringLiteral("no extension"));
    writeFileBytes(path, "an older project\r\n");
    window->commands().appendAudioPath(QStringLiteral("x.mp3"));
    answerDialog(path);
    click("Command12");
    EXPECT_EQ(readFileBytes(path), QByteArray("Af=x.mp3\r\nSp=0\r\nEa=0\r\n"));
    EXPECT_FALSE(QFile::exists(path + QStringLiteral(".ssp")));
    EXPECT_EQ(platform.files.requests.size(), 1u);
    ASSERT_EQ(platform.messages.shown.size(), 1u);
    EXPECT_EQ(platform.messages.shown[0].text, QStringLiteral("Project saved"));
}

TEST_F(ProjectCommandsTest, SaveWithEmptyListsWritesTheTwoSwitchLines)
{
    const QString path = projectFile(QStringLiteral("empty.ssp"));
    answerDialog(path);
    click("Command12");
    EXPECT_EQ(readFileBytes(path), QByteArray("Sp=0\r\nEa=0\r\n"));
}

ino_t fileNumber(const QString &path)
{
    struct stat info
    {};
    stat(QFile::encodeName(path).constData(), &info);
    return info.st_ino;
}

TEST_F(ProjectCommandsTest, AnOrdinaryUserSavesOverAWritableFileEvenInAFolderClosedToThem)
{
    window->commands().appendImageEntry(QStringLiteral("/pictures/a.jpg"), QStringLiteral("4"));
    const QByteArray expected = projectFileBytes(shownProject());
    openToEveryone(files.path()); // nobody may read here, but not create a file
    const QString open = files.filePath(QStringLiteral("open to all"));
    ASSERT_TRUE(QDir().mkdir(open));
    QFile::setPermissions(open, QFile::Permissions(0x7777));
    for (const QString &folder : {open, files.path()}) {
        const QString path = QDir(folder).filePath(QStringLiteral("show.ssp"));
        writeFileBytes(path, "old project");
        QFile::setPermissions(path, QFile::Permissions(0x6666));
        const ino_t before = fileNumber(path);
        answerDialog(path);
        EXPECT_TRUE(runAsNobody([this] {
            click("Command12");
            return platform.messages.shown.back().text == u"Project saved";
        })) << folder.toStdString();
        EXPECT_EQ(readFileBytes(path), expected);
        // Where the folder allows it the old file is replaced whole, never written over.
        EXPECT_EQ(fileNumber(path) == before, folder == files.path()) << folder.toStdString();
        platform.files.answers.clear();
    }
}

// Places where a project cannot be written, even by root.
struct UnwritableCase
{
    const char *name;
    QString (*path)(const QTemporaryDir &files);
};

class SaveFailureTest : public ProjectCommandsTest,
                        public ::testing::WithParamInterface<UnwritableCase>
{};

TEST_P(SaveFailureTest, ReportsTheSystemsReasonAndLeavesTheWindowAsItWas)
{
    writeFileBytes(files.filePath(QStringLiteral("plain file")), "not a directory");
    window->commands().appendImageEntry(QStringLiteral("a.jpg"), QStringLiteral("3"));
    control<QCheckBox>("Check2")->setChecked(true);
    const ProjectSnapshot before = shownProject();
    const QString path = GetParam().path(files);
    answerDialog(path);
    click("Command12");

    ASSERT_EQ(platform.messages.shown.size(), 1u);
    const QString text = platform.messages.shown[0].text;
    EXPECT_TRUE(text.startsWith(QStringLiteral("Unable to save project\r\n")))
        << text.toStdString();
    EXPECT_GT(text.size(), QStringLiteral("Unable to save project\r\n").size());
    EXPECT_EQ(platform.messages.shown[0].icon, MessageIcon::Critical);
    EXPECT_FALSE(QFile::exists(path));
    expectSameProject(shownProject(), before);
}

INSTANTIATE_TEST_SUITE_P(Places,
                         SaveFailureTest,
                         ::testing::Values(UnwritableCase{"UnderARegularFile",
                                                          [](const QTemporaryDir &files) {
                                                              return files.filePath(QStringLiteral(
                                                                  "plain file/project.ssp"));
                                                          }},
                                           UnwritableCase{"InAMissingDirectory",
                                                          [](const QTemporaryDir &files) {
                                                              return files.filePath(QStringLiteral(
                                                                  "no such folder/project.ssp"));
                                                          }}),
                         [](const auto &info) { return std::string(info.param.name); });

// A disk that fills up: with a few entries the file fails only when it is closed, with many
// while it is written.
class FullDiskTest : public ProjectCommandsTest, public ::testing::WithParamInterface<int>
{};

TEST_P(FullDiskTest, AFailedSaveSaysSoAndLeavesTheOldFileWhole)
{
    const QString path = projectFile(QStringLiteral("kept.ssp"));
    writeFileBytes(path, kWorkedExample);
    for (int i = 0; i < GetParam(); ++i)
        window->commands().appendImageEntry(QStringLiteral("/pictures/photo %1.jpg").arg(i),
                                            QStringLiteral("3"));
    answerDialog(path);
    {
        const FileSizeLimit limit(0);
        click("Command12");
    }
    ASSERT_EQ(platform.messages.shown.size(), 1u);
    EXPECT_TRUE(
        platform.messages.shown[0].text.startsWith(QStringLiteral("Unable to save project\r\n")))
        << platform.messages.shown[0].text.toStdString();
    EXPECT_EQ(platform.messages.shown[0].icon, MessageIcon::Critical);
    EXPECT_EQ(readFileBytes(path), kWorkedExample);
    EXPECT_EQ(QDir(files.path()).entryList(QDir::Files), QStringList{QStringLiteral("kept.ssp")});
}

INSTANTIATE_TEST_SUITE_P(Entries, FullDiskTest, ::testing::Values(0, 3, 1000));

TEST_F(ProjectCommandsTest, LoadingAFileThatCannotBeReadAddsNothingAndSaysNothing)
{
    window->commands().appendImageEntry(QStringLiteral("a.jpg"), QStringLiteral("3"));
    control<QCheckBox>("Check1")->setChecked(true);
    const ProjectSnapshot before = shownProject();
    answerDialog(projectFile(QStringLiteral("missing.ssp")));
    click("Command13");
    answerDialog(files.path()); // a directory
    click("Command13");
    answerDialog(makePipe(projectFile(QStringLiteral("pipe.ssp")))); // would block for ever
    click("Command13");
    expectSameProject(shownProject(), before);
    EXPECT_TRUE(platform.messages.shown.empty());
}

TEST_F(ProjectCommandsTest, LoadingKeepsTheSelectionAndThePreview)
{
    window->commands().appendImageEntry(picturePath(QStringLiteral("red.png")), QStringLiteral("4"));
    clickRow("List1", 0);
    const QImage shown = control<PicturePreview>("Image1")->picture();
    ASSERT_FALSE(shown.isNull());
    const QString path = projectFile(QStringLiteral("example.ssp"));
    writeFileBytes(path, kWorkedExample);
    answerDialog(path);
    click("Command13");
    settle();
    EXPECT_EQ(control<TextListBox>("List1")->selectedRow(), 0);
    EXPECT_EQ(control<TextListBox>("List2")->selectedRow(), 0);
    EXPECT_EQ(control<PicturePreview>("Image1")->picture(), shown);
    EXPECT_EQ(control<TextListBox>("List1")->count(), 3);
}
