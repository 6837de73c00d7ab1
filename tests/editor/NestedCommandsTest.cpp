// Commands that the user starts while a long load or save lets events run: they run nested, on
// the same thread, and must leave the lists in step and every saved file whole and consistent.

#include "EditorWindow.h"
#include "editor/MainForm.h"
#include "editor/TextListBox.h"
#include "project/ProjectWriter.h"
#include "support/TestFiles.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QCoreApplication>
#include <QPointer>

#include <functional>
#include <utility>

namespace {

constexpr int kEntries = 100'000;
constexpr int kNestedAt = kEntries / 2;

ProjectSnapshot bigProject(const QString &prefix)
{
    ProjectSnapshot project;
    for (int i = 0; i < kEntries; ++i) {
        project.imagePaths << QStringLiteral("/%1/photo %2.jpg").arg(prefix).arg(i);
        project.pauses << QString::number(i % 60);
    }
    project.audioPaths << QStringLiteral("/%1/tune.mp3").arg(prefix);
    project.stretch = 1;
    return project;
}

class NestedCommandsTest : public EditorWindowTest
{
public:
    using EditorWindowTest::files;
    using EditorWindowTest::menuItem;
    using EditorWindowTest::platform;
    using EditorWindowTest::window;

    void answer(const QString &path) { answerDialog(path); }
    void click(const char *name) const
    {
        QTest::mouseClick(control<QAbstractButton>(name), Qt::LeftButton);
    }
    void selectFirstRow() const { list1()->setSelectedRow(0); }

protected:
    void SetUp() override
    {
        EditorWindowTest::SetUp();
        clickSelector("command8");
        bigFile = files.filePath(QStringLiteral("big.ssp"));
        writeFileBytes(bigFile, projectFileBytes(bigProject(QStringLiteral("big"))));
    }

    TextListBox *list1() const { return control<TextListBox>("List1"); }
    TextListBox *list2() const { return control<TextListBox>("List2"); }

    // Runs the command once, at the yield point in the middle of the outer operation, and checks
    // at every yield point that the two image lists are row for row.
    void nestAtYield(std::function<void()> command)
    {
        m_nested = std::move(command);
        platform.events.onLetEventsRun = [this](int call) {
            if (list1()->count() != list2()->count())
                ++lists_out_of_step;
            if (call == kNestedAt && m_nested)
                std::exchange(m_nested, {})();
        };
    }

    QString bigFile;
    int lists_out_of_step = 0;

private:
    std::function<void()> m_nested;
};

// A command the user may start in the middle of a long load.
struct NestedCase
{
    const char *name;
    std::function<void(NestedCommandsTest &test, const QString &otherFile)> run;
    int imagesAfter; // List1's length once the outer load has finished
    const char *firstImage;
};

class NestedInLoadTest : public NestedCommandsTest, public ::testing::WithParamInterface<NestedCase>
{};

} // namespace

TEST_P(NestedInLoadTest, ListsStayInStepAndTheLoadFinishes)
{
    const NestedCase &c = GetParam();
    const QString otherFile = files.filePath(QStringLiteral("other.ssp"));
    nestAtYield([&] { c.run(*this, otherFile); });
    answerDialog(bigFile);
    click("Command13");

    EXPECT_EQ(lists_out_of_step, 0);
    EXPECT_EQ(list1()->count(), c.imagesAfter);
    EXPECT_EQ(list2()->count(), c.imagesAfter);
    EXPECT_EQ(list1()->text(0), QString::fromUtf8(c.firstImage));
    EXPECT_EQ(shownProject().stretch, 1);
    const ProjectSnapshot project = shownProject();
    // Every path keeps its own pause.
    for (int row = 0; row < project.imagePaths.size(); row += 997) {
        const int number = project.imagePaths[row].section(u' ', -1).chopped(4).toInt();
        EXPECT_EQ(project.pauses[row], QString::number(number % 60)) << row;
    }
    // A save run in the middle wrote the rows loaded so far, whole.
    if (QFile::exists(otherFile)) {
        const QByteArray saved = readFileBytes(otherFile);
        EXPECT_TRUE(saved.endsWith("Sp=0\r\nEa=0\r\n"));
        EXPECT_EQ(saved.count("\r\n"), kNestedAt + 2);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Commands,
    NestedInLoadTest,
    ::testing::Values(NestedCase{"New",
                                 [](NestedCommandsTest &test, const QString &) {
                                     QTest::keyClick(test.window.get(),
                                                     Qt::Key_N,
                                                     Qt::ControlModifier);
                                 },
                                 kEntries - kNestedAt,
                                 "/big/photo 50000.jpg"},
                      NestedCase{"Remove",
                                 [](NestedCommandsTest &test, const QString &) {
                                     test.selectFirstRow();
                                     test.menuItem("mnuRemoveImage")->trigger();
                                 },
                                 kEntries - 1,
                                 "/big/photo 1.jpg"},
                      NestedCase{"LoadAgain",
                                 [](NestedCommandsTest &test, const QString &) {
                                     test.answer(test.files.filePath(QStringLiteral("big.ssp")));
                                     test.click("Command13");
                                 },
                                 2 * kEntries,
                                 "/big/photo 0.jpg"},
                      NestedCase{"Save",
                                 [](NestedCommandsTest &test, const QString &otherFile) {
                                     test.answer(otherFile);
                                     test.click("Command12");
                                 },
                                 kEntries,
                                 "/big/photo 0.jpg"}),
    [](const auto &info) { return std::string(info.param.name); });

// A command the user may start in the middle of a long save.
struct NestedInSaveCase
{
    const char *name;
    std::function<void(NestedCommandsTest &test, const QString &savedFile)> run;
    int imagesAfter;
    int savesShown;
};

class NestedInSaveTest : public NestedCommandsTest,
                         public ::testing::WithParamInterface<NestedInSaveCase>
{};

TEST_P(NestedInSaveTest, TheFileHoldsTheProjectAsItWasWhenSaveWasPressed)
{
    const NestedInSaveCase &c = GetParam();
    const ProjectSnapshot project = bigProject(QStringLiteral("window"));
    for (int i = 0; i < kEntries; ++i)
        window->commands().appendImageEntry(project.imagePaths[i], project.pauses[i]);
    window->commands().appendAudioPath(project.audioPaths[0]);
    control<QCheckBox>("Check1")->setChecked(true);
    list1()->setSelectedRow(3);
    platform.messages.shown.clear(); // the preview's word on a picture that is not there
    const QString saved = files.filePath(QStringLiteral("saved.ssp"));
    nestAtYield([&] { c.run(*this, saved); });
    answerDialog(saved);
    click("Command12");

    EXPECT_EQ(lists_out_of_step, 0);
    EXPECT_EQ(readFileBytes(saved), projectFileBytes(project));
    EXPECT_EQ(list1()->count(), c.imagesAfter);
    EXPECT_EQ(list2()->count(), c.imagesAfter);
    EXPECT_EQ(platform.messages.shown.size(), static_cast<std::size_t>(c.savesShown));
    for (const auto &shown : platform.messages.shown)
        EXPECT_EQ(shown.text, QStringLiteral("Project saved"));
}

INSTANTIATE_TEST_SUITE_P(
    Commands,
    NestedInSaveTest,
    ::testing::Values(
        NestedInSaveCase{"New",
                         [](NestedCommandsTest &test, const QString &) {
                             QTest::keyClick(test.window.get(), Qt::Key_N, Qt::ControlModifier);
                         },
                         0,
                         1},
        NestedInSaveCase{"Remove",
                         [](NestedCommandsTest &test, const QString &) {
                             test.menuItem("mnuRemoveImage")->trigger();
                         },
                         kEntries - 1,
                         1},
        NestedInSaveCase{"Load",
                         [](NestedCommandsTest &test, const QString &) {
                             test.platform.files.answers.push_back(
                                 test.files.filePath(QStringLiteral("big.ssp")));
                             test.menuItem("openprj")->trigger();
                         },
                         2 * kEntries,
                         1},
        // The inner save of the changed window finishes first; the outer one, finishing last,
        // leaves the project as it was when it started.
        NestedInSaveCase{"NewThenSaveAgain",
                         [](NestedCommandsTest &test, const QString &savedFile) {
                             test.menuItem("newprj")->trigger();
                             test.platform.files.answers.push_back(savedFile);
                             test.menuItem("saveprj")->trigger();
                         },
                         0,
                         2}),
    [](const auto &info) { return std::string(info.param.name); });

// Quit in the middle of something that lets events run: the window disappears at once, the work
// goes on to its end, and only then is the window deleted.
struct QuitCase
{
    const char *name;
    int quitAt; // the yield point at which F4 arrives
    std::function<void(NestedCommandsTest &test, Main &editor, const QString &file)> start;
};

class QuitDuringCommandTest : public NestedCommandsTest,
                              public ::testing::WithParamInterface<QuitCase>
{};

TEST_P(QuitDuringCommandTest, TheWindowGoesOnlyOnceTheWorkIsDone)
{
    // As the program runs it: deleted when closed.
    Main *editor = window.release();
    editor->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<Main> alive(editor);
    ProjectSnapshot project = bigProject(QStringLiteral("window"));
    project.imagePaths = project.imagePaths.mid(0, 1000);
    project.pauses = project.pauses.mid(0, 1000);
    for (int i = 0; i < project.imagePaths.size(); ++i)
        editor->commands().appendImageEntry(project.imagePaths[i], project.pauses[i]);
    editor->commands().appendAudioPath(project.audioPaths[0]);
    editor->form().Check1->setChecked(true);
    const QString file = files.filePath(QStringLiteral("project.ssp"));
    writeFileBytes(file, projectFileBytes(project));

    bool hiddenAtOnce = false;
    platform.events.onLetEventsRun = [&](int call) {
        if (call == GetParam().quitAt) {
            QTest::keyClick(editor, Qt::Key_F4);
            hiddenAtOnce = !editor->isVisible();
        }
        // What the real event pump does: run whatever is pending, deletions included.
        QCoreApplication::processEvents();
    };
    GetParam().start(*this, *editor, file);

    EXPECT_TRUE(hiddenAtOnce);
    // A save still writes the whole project.
    EXPECT_EQ(readFileBytes(file), projectFileBytes(project));
    finishClosedWindows();
    EXPECT_TRUE(alive.isNull());
    delete alive.data();
}

INSTANTIATE_TEST_SUITE_P(
    Work,
    QuitDuringCommandTest,
    ::testing::Values(QuitCase{"Load",
                               500,
                               [](NestedCommandsTest &test, Main &editor, const QString &file) {
                                   test.answer(file);
                                   QTest::keyClick(&editor, Qt::Key_O, Qt::ControlModifier);
                               }},
                      QuitCase{"Save",
                               500,
                               [](NestedCommandsTest &test, Main &editor, const QString &file) {
                                   test.answer(file);
                                   QTest::keyClick(&editor, Qt::Key_S, Qt::ControlModifier);
                               }},
                      // The audio preview lets the path paint before the player opens the file.
                      QuitCase{"SelectingATune",
                               1,
                               [](NestedCommandsTest &, Main &editor, const QString &) {
                                   auto *selector = editor.findChild<QWidget *>(
                                       QStringLiteral("command9"));
                                   QTest::mouseClick(selector, Qt::LeftButton);
                                   auto *list3 = editor.findChild<TextListBox *>(
                                       QStringLiteral("List3"));
                                   QCoreApplication::processEvents();
                                   const QModelIndex row = list3->model()->index(0, 0);
                                   QTest::mouseClick(list3->viewport(),
                                                     Qt::LeftButton,
                                                     {},
                                                     list3->visualRect(row).center());
                               }}),
    [](const auto &info) { return std::string(info.param.name); });
