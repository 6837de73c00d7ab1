#include "EditorWindow.h"
#include "dialogs/Form2.h"
#include "support/TestFiles.h"

#include <QAbstractButton>
#include <QAction>
#include <QLineEdit>
#include <QPointer>

#include <functional>

namespace {

class DialogWiringTest;

// One way of opening one of the editor's dialogs, and the window it opens.
struct OpenCase
{
    const char *name;
    const char *panel; // the selector that shows the button, when it is one
    std::function<void(DialogWiringTest &test)> open;
    const char *window;
    const char *caption;
};

class DialogWiringTest : public EditorWindowTest, public ::testing::WithParamInterface<OpenCase>
{
public:
    using EditorWindowTest::window;

    static void press(DialogWiringTest &test, const char *button) { test.clickButton(button); }
    static void choose(DialogWiringTest &test, const char *item) { test.menuItem(item)->trigger(); }
    static void key(DialogWiringTest &test, Qt::Key key, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::keyClick(test.window.get(), key, modifiers);
    }
};

} // namespace

TEST_P(DialogWiringTest, OpensItsWindowBesideTheEditorAndOnlyOnce)
{
    const OpenCase &c = GetParam();
    if (c.panel)
        clickSelector(c.panel);
    c.open(*this);
    settle();
    QList<QWidget *> opened = otherWindows(c.window);
    ASSERT_EQ(opened.size(), 1);
    QPointer<QWidget> dialog = opened.front();
    EXPECT_EQ(dialog->windowTitle(), QString::fromUtf8(c.caption));
    EXPECT_EQ(dialog->parentWidget(), nullptr);
    EXPECT_EQ(dialog->windowModality(), Qt::NonModal);
    EXPECT_TRUE(window->isEnabled());

    // Again: the same window comes to the front.
    c.open(*this);
    settle();
    opened = otherWindows(c.window);
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened.front(), dialog.data());
    EXPECT_EQ(otherWindows().size(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Dialogs,
    DialogWiringTest,
    ::testing::Values(
        OpenCase{"ImageAddDirButton",
                 "command4",
                 [](DialogWiringTest &t) { DialogWiringTest::press(t, "Command2"); },
                 "Form2",
                 "Select Directory - Image Files"},
        OpenCase{"ImageAddDirMenu",
                 "command8",
                 [](DialogWiringTest &t) { DialogWiringTest::choose(t, "mnuAddImageDir"); },
                 "Form2",
                 "Select Directory - Image Files"},
        OpenCase{"ImageAddDirKey",
                 nullptr,
                 [](DialogWiringTest &t) {
                     DialogWiringTest::key(t, Qt::Key_D, Qt::ControlModifier);
                 },
                 "Form2",
                 "Select Directory - Image Files"},
        OpenCase{"AudioAddDirButton",
                 "command9",
                 [](DialogWiringTest &t) { DialogWiringTest::press(t, "Command11"); },
                 "Form2",
                 "Select Directory - Audio Files"},
        OpenCase{"AudioAddDirMenu",
                 "command4",
                 [](DialogWiringTest &t) { DialogWiringTest::choose(t, "mnuAddAudioDir"); },
                 "Form2",
                 "Select Directory - Audio Files"},
        OpenCase{"AudioAddDirKey",
                 nullptr,
                 [](DialogWiringTest &t) {
                     DialogWiringTest::key(t, Qt::Key_F2, Qt::ControlModifier);
                 },
                 "Form2",
                 "Select Directory - Audio Files"},
        OpenCase{"AutoRunner",
                 "command8",
                 [](DialogWiringTest &t) { DialogWiringTest::press(t, "Command16"); },
                 "Form3",
                 "Auto Runner"},
        OpenCase{"HelpMenu",
                 nullptr,
                 [](DialogWiringTest &t) { DialogWiringTest::choose(t, "mh"); },
                 "frmTip",
                 "Vistelle Help"},
        OpenCase{"HelpKey",
                 nullptr,
                 [](DialogWiringTest &t) { DialogWiringTest::key(t, Qt::Key_F1); },
                 "frmTip",
                 "Vistelle Help"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(EditorWindowTest, DirectoryImportAddsToTheEditorsListsWithItsPauseBox)
{
    const QString folder = files.filePath(QStringLiteral("pictures"));
    ASSERT_TRUE(QDir().mkpath(folder));
    writePicture(folder + QStringLiteral("/one.jpg"), QSize(8, 8));
    writePicture(folder + QStringLiteral("/two.jpg"), QSize(8, 8));
    writeFileBytes(folder + QStringLiteral("/tune.mp3"), "not really music");
    auto *text1 = control<QLineEdit>("Text1");
    text1->setText(QStringLiteral("7"));

    QTest::keyClick(window.get(), Qt::Key_D, Qt::ControlModifier);
    auto *import = qobject_cast<Form2 *>(otherWindows("Form2").value(0));
    ASSERT_NE(import, nullptr);
    ASSERT_TRUE(import->openDirectory(folder));
    QTest::mouseClick(import->findChild<QAbstractButton *>(QStringLiteral("Command5")),
                      Qt::LeftButton);
    // The same dialog, switched to audio.
    QTest::keyClick(window.get(), Qt::Key_F2, Qt::ControlModifier);
    EXPECT_EQ(import->modeWord(), QStringLiteral("Audio"));
    QTest::mouseClick(import->findChild<QAbstractButton *>(QStringLiteral("Command5")),
                      Qt::LeftButton);

    const ProjectSnapshot project = shownProject();
    const QString prefix = QDir::toNativeSeparators(folder + u'/');
    EXPECT_EQ(project.imagePaths,
              (QStringList{prefix + QStringLiteral("one.jpg"), prefix + QStringLiteral("two.jpg")}));
    EXPECT_EQ(project.pauses, QStringList(2, QStringLiteral("7")));
    EXPECT_EQ(project.audioPaths, QStringList{prefix + QStringLiteral("tune.mp3")});
}

TEST_F(EditorWindowTest, AutoRunnerWritesIntoTheProgramDirectory)
{
    clickSelector("command8");
    QTest::mouseClick(control<QAbstractButton>("Command16"), Qt::LeftButton);
    QWidget *builder = otherWindows("Form3").value(0);
    ASSERT_NE(builder, nullptr);
    QTest::mouseClick(builder->findChild<QAbstractButton *>(QStringLiteral("Command14")),
                      Qt::LeftButton);
    EXPECT_EQ(readFileBytes(programDirectory.filePath(QStringLiteral("Autorun.inf"))),
              QByteArray("[Autorun]\r\nopen=Vistelle.exe slide.ssp\r\n"));
}

TEST_F(EditorWindowTest, QuitLeavesTheHelpWindowOpen)
{
    QTest::keyClick(window.get(), Qt::Key_F1);
    QPointer<QWidget> help = otherWindows("frmTip").value(0);
    ASSERT_FALSE(help.isNull());
    QTest::keyClick(window.get(), Qt::Key_F4);
    EXPECT_FALSE(window->isVisible());
    window.reset();
    finishClosedWindows();
    ASSERT_FALSE(help.isNull());
    EXPECT_TRUE(help->isVisible());
}
