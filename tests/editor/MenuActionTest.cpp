#include "EditorWindow.h"
#include "editor/TextListBox.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>

#include <functional>

namespace {

// One action reached two ways: its button, and its menu item while the button's panel is
// hidden. Both must leave the window the same.
struct ActionCase
{
    const char *button;
    const char *menuItem;
    const char *buttonPanel; // the selector that shows the button
    const char *otherPanel;  // a selector that hides it
};

class MenuActionTest : public EditorWindowTest, public ::testing::WithParamInterface<ActionCase>
{
protected:
    struct Outcome
    {
        ProjectSnapshot project;
        QString text2;
        QString text3;
        int dialogs = 0;
        int selectedImage = -1;
        int selectedAudio = -1;
    };

    // Two images and two audio files with the second of each selected, then the action.
    Outcome run(const std::function<void()> &trigger)
    {
        window->commands().appendImageEntry(picturePath(QStringLiteral("a.png")),
                                            QStringLiteral("3"));
        window->commands().appendImageEntry(picturePath(QStringLiteral("b.png")),
                                            QStringLiteral("4"));
        window->commands().appendAudioPath(QStringLiteral("a.mp3"));
        window->commands().appendAudioPath(QStringLiteral("b.mp3"));
        settle();
        control<TextListBox>("List1")->setSelectedRow(1);
        control<TextListBox>("List3")->setSelectedRow(1);
        answerDialog(files.filePath(QStringLiteral("added.png")));
        trigger();
        settle();
        Outcome outcome{shownProject(),
                        control<QLineEdit>("Text2")->text(),
                        control<QLineEdit>("Text3")->text(),
                        static_cast<int>(platform.files.requests.size()),
                        control<TextListBox>("List1")->selectedRow(),
                        control<TextListBox>("List3")->selectedRow()};
        // Start again from an empty window.
        menuItem("newprj")->trigger();
        platform.files.requests.clear();
        platform.files.answers.clear();
        return outcome;
    }
};

} // namespace

TEST_P(MenuActionTest, MenuItemDoesWhatTheButtonDoesEvenWithItsPanelHidden)
{
    const ActionCase &c = GetParam();
    clickSelector(c.buttonPanel);
    const Outcome byButton = run([&] { QTest::mouseClick(control(c.button), Qt::LeftButton); });
    clickSelector(c.otherPanel);
    ASSERT_FALSE(control(c.button)->isVisible());
    const Outcome byMenu = run([&] { menuItem(c.menuItem)->trigger(); });

    EXPECT_EQ(byMenu.project.imagePaths, byButton.project.imagePaths);
    EXPECT_EQ(byMenu.project.pauses, byButton.project.pauses);
    EXPECT_EQ(byMenu.project.audioPaths, byButton.project.audioPaths);
    EXPECT_EQ(byMenu.text2, byButton.text2);
    EXPECT_EQ(byMenu.text3, byButton.text3);
    EXPECT_EQ(byMenu.dialogs, byButton.dialogs);
    EXPECT_EQ(byMenu.selectedImage, byButton.selectedImage);
    EXPECT_EQ(byMenu.selectedAudio, byButton.selectedAudio);
    // And the action did something a user sees.
    const Outcome untouched = run([] {});
    EXPECT_TRUE(byMenu.project.imagePaths != untouched.project.imagePaths
                || byMenu.project.audioPaths != untouched.project.audioPaths
                || byMenu.text2 != untouched.text2 || byMenu.text3 != untouched.text3);
}

INSTANTIATE_TEST_SUITE_P(
    Actions,
    MenuActionTest,
    ::testing::Values(ActionCase{"Command1", "mnuAddImage", "command4", "command8"},
                      ActionCase{"Command3", "mnuRemoveImage", "command4", "command9"},
                      ActionCase{"Command5", "mnuAddAudio", "command9", "command4"},
                      ActionCase{"Command10", "mnuRemoveAudio", "command9", "command7"}),
    [](const auto &info) { return std::string(info.param.menuItem); });

TEST_F(EditorWindowTest, ShortcutsRunTheMenuActions)
{
    clickSelector("command8"); // the image and audio panels are hidden
    answerDialog(files.filePath(QStringLiteral("x.png")));
    QTest::keyClick(window.get(), Qt::Key_F1, Qt::ControlModifier);
    answerDialog(files.filePath(QStringLiteral("y.mp3")));
    QTest::keyClick(window.get(), Qt::Key_F2);
    const ProjectSnapshot project = shownProject();
    EXPECT_EQ(project.imagePaths.size(), 1);
    EXPECT_EQ(project.audioPaths.size(), 1);
}
