#include "EditorWindow.h"

#include "editor/TextListBox.h"
#include "support/TestFiles.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QListView>
#include <QPointer>

void EditorWindowTest::SetUp()
{
    ASSERT_TRUE(files.isValid());
    window = std::make_unique<Main>(platform.services(),
                                    programDirectory.path(),
                                    userDataDirectory());
    window->show();
    QApplication::setActiveWindow(window.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    settle();
}

void EditorWindowTest::TearDown()
{
    window.reset();
    // The dialogs and the test run's player window are not the editor window's children: they
    // outlive it, and go here before the fakes they use.
    closeOtherWindows();
    settle();
}

QList<QWidget *> EditorWindowTest::otherWindows(const char *name)
{
    QList<QWidget *> found;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->parentWidget() || widget == window.get() || !widget->isVisible())
            continue;
        if (!name || widget->objectName() == QLatin1String(name))
            found << widget;
    }
    return found;
}

void EditorWindowTest::closeOtherWindows()
{
    static const QStringList editorWindows{QStringLiteral("Form1"),
                                           QStringLiteral("Form2"),
                                           QStringLiteral("Form3"),
                                           QStringLiteral("frmTip")};
    // Deleting one window may delete others of the list, so each is held by a guard.
    QList<QPointer<QWidget>> toClose;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (!widget->parentWidget() && editorWindows.contains(widget->objectName()))
            toClose << widget;
    }
    for (const QPointer<QWidget> &widget : std::as_const(toClose))
        delete widget.data();
}

QAction *EditorWindowTest::menuItem(const char *name) const
{
    return control<QAction>(name);
}

FakeMediaPlayer &EditorWindowTest::previewPlayer() const
{
    EXPECT_EQ(platform.mediaPlayers.size(), 1);
    return *platform.mediaPlayers.front();
}

ProjectSnapshot EditorWindowTest::shownProject() const
{
    const auto rows = [this](const char *list) { return control<TextListBox>(list)->texts(); };
    const auto on = [this](const char *box) { return control<QCheckBox>(box)->isChecked() ? 1 : 0; };
    return {rows("List1"), rows("List2"), rows("List3"), on("Check1"), on("Check2")};
}

void EditorWindowTest::settle()
{
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

void EditorWindowTest::clickRow(const char *listName, int row) const
{
    settle();
    auto *list = control<QListView>(listName);
    const QModelIndex index = list->model()->index(row, 0);
    list->scrollTo(index);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(index).center());
}

void EditorWindowTest::doubleClickRow(const char *listName, int row) const
{
    settle();
    auto *list = control<QListView>(listName);
    const QModelIndex index = list->model()->index(row, 0);
    list->scrollTo(index);
    const QPoint centre = list->visualRect(index).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centre);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, centre);
}

void EditorWindowTest::clickSelector(const char *name) const
{
    QWidget *selector = control(name);
    QTest::mouseClick(selector, Qt::LeftButton, {}, selector->rect().center());
}

void EditorWindowTest::answerDialog(std::optional<QString> path)
{
    platform.files.answers.push_back(std::move(path));
}

QString EditorWindowTest::picturePath(const QString &name, QColor colour) const
{
    const QString path = files.filePath(name);
    writePicture(path, QSize(64, 48), colour);
    return path;
}
