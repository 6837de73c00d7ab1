#include "EditorWindow.h"
#include "editor/EditorLook.h"
#include "editor/MainForm.h"
#include "editor/PanelFrame.h"
#include "editor/SelectorLabel.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

namespace {

struct SelectorCase
{
    const char *selector;
    const char *panel;
    int clientHeight;
};

class PanelSwitchTest : public EditorWindowTest, public ::testing::WithParamInterface<SelectorCase>
{};

const std::array<const char *, 4> kPanels{"ImageFrame", "AudioFrame", "PrefsFrame", "ProjectFrame"};
const std::array<const char *, 4> kSelectors{"command4", "command9", "command7", "command8"};

QColor backgroundOf(QWidget *widget)
{
    return widget->palette().color(QPalette::Window);
}

struct OptionCase
{
    const char *box;
    const char *item;
};

class OptionSwitchTest : public EditorWindowTest, public ::testing::WithParamInterface<OptionCase>
{};

} // namespace

TEST_F(EditorWindowTest, EveryPanelShowsItsControlsApartWithTheirWholeCaptions)
{
    for (const char *selector : {"command4", "command9", "command7", "command8"}) {
        clickSelector(selector);
        settle();
        EXPECT_EQ(layoutFaults(*window), QStringList()) << "with the panel of " << selector;
    }
}

TEST_F(EditorWindowTest, OpensAsDesignedOnImageOptions)
{
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Vistelle"));
    EXPECT_FALSE(window->windowIcon().isNull());
    // Fixed border: minimize, no maximize, and no resizing.
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(window->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    EXPECT_EQ(window->centralWidget()->width(), 617);
    EXPECT_EQ(window->centralWidget()->height(), 353);
    EXPECT_EQ(window->height(), window->menuBar()->height() + 353);

    EXPECT_TRUE(control("ImageFrame")->isVisible());
    for (const char *hidden : {"AudioFrame", "PrefsFrame", "ProjectFrame", "Image2"})
        EXPECT_FALSE(control(hidden)->isVisible()) << hidden;
    EXPECT_EQ(backgroundOf(control("command4")), EditorLook::kDarkGreen);
    for (const char *normal : {"command9", "command7", "command8"})
        EXPECT_EQ(backgroundOf(control(normal)), EditorLook::kWindowGreen) << normal;
    EXPECT_EQ(backgroundOf(window->centralWidget()), QColor(0, 192, 0));

    EXPECT_EQ(control<QLineEdit>("Text1")->text(), QStringLiteral("3"));
    EXPECT_TRUE(control<QLineEdit>("Text3")->text().isEmpty());
    EXPECT_TRUE(control<QLineEdit>("Text3")->isReadOnly());
    EXPECT_TRUE(control<QLineEdit>("Text2")->isReadOnly());
    for (const char *list : {"List1", "List2", "List3"})
        EXPECT_EQ(control<QListView>(list)->model()->rowCount(), 0) << list;
    for (const char *box : {"Check1", "Check2", "Check3", "Check4"})
        EXPECT_FALSE(control<QCheckBox>(box)->isChecked()) << box;
    for (QAction *action : window->findChildren<QAction *>()) {
        EXPECT_FALSE(action->isChecked()) << action->objectName().toStdString();
        EXPECT_TRUE(action->isEnabled()) << action->objectName().toStdString();
        EXPECT_TRUE(action->isVisible()) << action->objectName().toStdString();
    }
    EXPECT_EQ(control<QListView>("List1")->palette().color(QPalette::Base), QColor(0, 128, 0));
    EXPECT_EQ(control<QListView>("List1")->palette().color(QPalette::Text), QColor(Qt::white));
    EXPECT_EQ(control<QLineEdit>("Text3")->palette().color(QPalette::Base), QColor(192, 255, 192));
    EXPECT_EQ(control<QPushButton>("Command1")->palette().color(QPalette::Button),
              QColor(192, 192, 192));
    EXPECT_TRUE(control<QLabel>("Label3")->font().bold());
    EXPECT_FALSE(control<QPushButton>("Command1")->font().bold());
}

TEST_P(PanelSwitchTest, SelectorShowsItsPanelAloneAndSizesTheWindowToIt)
{
    const SelectorCase &c = GetParam();
    // From each other panel, so the height really changes where it should.
    for (const char *before : kSelectors) {
        clickSelector(before);
        clickSelector(c.selector);
        settle();

        for (const char *panel : kPanels)
            EXPECT_EQ(control(panel)->isVisible(), qstrcmp(panel, c.panel) == 0) << panel;
        for (const char *selector : kSelectors) {
            EXPECT_EQ(backgroundOf(control(selector)),
                      qstrcmp(selector, c.selector) == 0 ? EditorLook::kDarkGreen
                                                         : EditorLook::kWindowGreen)
                << selector;
        }

        // The client area below the menu bar shows the whole panel and a small margin only.
        QWidget *client = window->centralWidget();
        EXPECT_EQ(client->height(), c.clientHeight);
        EXPECT_EQ(window->height(), window->menuBar()->height() + c.clientHeight);
        const int panelBottom = control(c.panel)->geometry().bottom() + 1;
        EXPECT_LE(panelBottom, client->height());
        EXPECT_LE(client->height() - panelBottom, 10);
        EXPECT_EQ(client->mapTo(window.get(), QPoint(0, 0)).y(), window->menuBar()->height());
    }
}

INSTANTIATE_TEST_SUITE_P(Selectors,
                         PanelSwitchTest,
                         ::testing::Values(SelectorCase{"command4", "ImageFrame", 353},
                                           SelectorCase{"command9", "AudioFrame", 425},
                                           SelectorCase{"command7", "PrefsFrame", 353},
                                           SelectorCase{"command8", "ProjectFrame", 353}),
                         [](const auto &info) { return std::string(info.param.selector); });

TEST_F(EditorWindowTest, AudioPanelShowsTheAudioListAndPreview)
{
    clickSelector("command9");
    settle();
    for (const char *name : {"List3", "MP1", "Text2", "Command5", "Check4"})
        EXPECT_TRUE(control(name)->isVisible()) << name;
    // The image list stays in view whatever the panel.
    EXPECT_TRUE(control("List1")->isVisible());
    clickSelector("command4");
    settle();
    EXPECT_FALSE(control("List3")->isVisible());
}

TEST_F(EditorWindowTest, EveryMenuItemHasACaptionAndEveryShortcutOneItem)
{
    QList<QAction *> items = window->menuBar()->actions();
    for (const QMenu *menu : window->findChildren<QMenu *>())
        items << menu->actions();
    QList<QKeySequence> shortcuts;
    for (const QAction *item : std::as_const(items)) {
        if (item->isSeparator())
            continue;
        EXPECT_FALSE(item->text().isEmpty()) << item->objectName().toStdString();
        if (item->shortcut().isEmpty())
            continue;
        EXPECT_FALSE(shortcuts.contains(item->shortcut()))
            << item->shortcut().toString().toStdString() << " twice";
        shortcuts << item->shortcut();
    }
    EXPECT_EQ(shortcuts.size(), 10);
}

TEST_F(EditorWindowTest, MenusHoldTheirItemsInOrder)
{
    const auto names = [this](const char *menu) {
        QStringList found;
        for (QAction *action : control<QMenu>(menu)->actions())
            found << action->objectName();
        return found.join(u' ');
    };
    QStringList bar;
    for (QAction *action : window->menuBar()->actions())
        bar << action->text();
    EXPECT_EQ(bar.join(u'|'), QStringLiteral("File|&Insert|&Toiols|&Help"));
    EXPECT_EQ(names("menu1"),
              QStringLiteral("newprj m openprj saveprj mnuExportVideo mnuPackShow sx mnqt"));
    EXPECT_TRUE(menuItem("m")->isSeparator());
    EXPECT_TRUE(menuItem("sx")->isSeparator());
    EXPECT_EQ(names("mnuinsert"), QStringLiteral("mnuPicture mnuAudio"));
    EXPECT_EQ(names("mnuPicture"), QStringLiteral("mnuAddImage mnuRemoveImage mnuAddImageDir"));
    EXPECT_EQ(names("mnuAudio"), QStringLiteral("mnuAddAudio mnuRemoveAudio mnuAddAudioDir"));
    EXPECT_EQ(names("mnuPreferences"), QStringLiteral("mnuop"));
    EXPECT_EQ(names("mnuop"), QStringLiteral("mnuStretchedImages mnuEnableAudio"));
    EXPECT_EQ(names("m2"), QStringLiteral("mh m23"));
}

TEST_P(OptionSwitchTest, CheckBoxAndMenuMarkStayInStepWhicheverSideChanges)
{
    auto *box = control<QCheckBox>(GetParam().box);
    QAction *item = menuItem(GetParam().item);
    const auto agree = [&](bool expected) {
        EXPECT_EQ(box->isChecked(), expected);
        EXPECT_EQ(item->isChecked(), expected);
    };

    clickSelector("command7");
    tick(*box);
    agree(true);
    tick(*box);
    agree(false);

    item->trigger();
    agree(true);
    item->trigger();
    agree(false);

    // Set by the program, as loading a project and New do.
    box->setChecked(true);
    agree(true);
    box->setChecked(false);
    agree(false);

    // Also while the panel with the check box is hidden.
    clickSelector("command4");
    item->trigger();
    agree(true);
}

INSTANTIATE_TEST_SUITE_P(Options,
                         OptionSwitchTest,
                         ::testing::Values(OptionCase{"Check1", "mnuStretchedImages"},
                                           OptionCase{"Check2", "mnuEnableAudio"}),
                         [](const auto &info) { return std::string(info.param.box); });

TEST_F(EditorWindowTest, F3TogglesStretchImagesOnAndOff)
{
    auto *box = control<QCheckBox>("Check1");
    QAction *item = menuItem("mnuStretchedImages");
    QTest::keyClick(window.get(), Qt::Key_F3);
    EXPECT_TRUE(box->isChecked());
    EXPECT_TRUE(item->isChecked());
    QTest::keyClick(window.get(), Qt::Key_F3);
    EXPECT_FALSE(box->isChecked());
    EXPECT_FALSE(item->isChecked());

    control<QCheckBox>("Check1")->setChecked(true);
    EXPECT_TRUE(item->isChecked());
    control<QCheckBox>("Check2")->setChecked(true);
    EXPECT_TRUE(menuItem("mnuEnableAudio")->isChecked());
}

TEST_F(EditorWindowTest, QuitClosesTheWindowWithoutAskingAndAboutDoesNothing)
{
    window->commands().appendImageEntry(QStringLiteral("unsaved.jpg"), QStringLiteral("3"));
    menuItem("m23")->trigger();
    EXPECT_TRUE(platform.messages.shown.empty());
    EXPECT_TRUE(window->isVisible());

    // A top-level window of its own, so closing it can end the program; other windows of the
    // editor are not its children and stay open.
    EXPECT_TRUE(window->isWindow());
    EXPECT_EQ(window->parentWidget(), nullptr);
    EXPECT_TRUE(window->testAttribute(Qt::WA_QuitOnClose));
    QTest::keyClick(window.get(), Qt::Key_F4);
    settle();
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(platform.messages.shown.empty());
    EXPECT_TRUE(platform.files.requests.empty());
}

TEST_F(EditorWindowTest, TabVisitsTheControlsInTheDesignedOrder)
{
    const QStringList designed{"List1",     "List2",     "Text3",     "Text1",  "Command1",
                               "Command3",  "Command6",  "Command2",  "Check2", "Check1",
                               "Command12", "Command13", "Command14", "Text2",  "List3",
                               "Command11", "Command10", "Command5",  "MP1",    "Command15",
                               "Check3",    "Check4",    "Command16"};
    QWidget *list1 = control("List1");
    QStringList visited;
    QWidget *widget = list1;
    do {
        // A control inside the preview player counts as the player.
        QWidget *named = widget;
        while (named && named != window.get() && !designed.contains(named->objectName()))
            named = named->parentWidget();
        if (named && designed.contains(named->objectName())
            && (visited.isEmpty() || visited.back() != named->objectName())
            && (widget->focusPolicy() & Qt::TabFocus)) {
            visited << named->objectName();
        }
        widget = widget->nextInFocusChain();
    } while (widget != list1 && visited.size() < 100);
    EXPECT_EQ(visited, designed);

    // On screen the keyboard reaches the visible ones in that order.
    list1->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), control("List2"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), control("Text3"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), control("Text1"));
}

TEST_F(EditorWindowTest, EveryNamedControlHasAnAccessibleName)
{
    const QStringList decoration{"Line1"};
    int named = 0;
    for (QWidget *widget : window->centralWidget()->findChildren<QWidget *>()) {
        const QString name = widget->objectName();
        if (name.isEmpty() || decoration.contains(name) || name.startsWith(u"qt_"))
            continue;
        ++named;
        EXPECT_FALSE(widget->accessibleName().isEmpty()) << name.toStdString();
    }
    EXPECT_GE(named, 40);
}
