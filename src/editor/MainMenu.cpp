#include "editor/MainMenu.h"

#include "forms/FormLook.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace {

QMenu *submenu(QWidget &parent, const char *name, const QString &caption)
{
    auto *menu = new QMenu(caption, &parent);
    menu->setObjectName(QLatin1String(name));
    menu->menuAction()->setObjectName(QLatin1String(name));
    menu->setFont(tahoma());
    if (auto *bar = qobject_cast<QMenuBar *>(&parent))
        bar->addMenu(menu);
    else if (auto *outer = qobject_cast<QMenu *>(&parent))
        outer->addMenu(menu);
    return menu;
}

QAction *item(QMenu &menu,
              const char *name,
              const QString &caption,
              const QKeySequence &shortcut = {})
{
    QAction *action = menu.addAction(caption);
    action->setObjectName(QLatin1String(name));
    action->setShortcut(shortcut);
    return action;
}

QAction *separator(QMenu &menu, const char *name)
{
    QAction *action = menu.addSeparator();
    action->setObjectName(QLatin1String(name));
    return action;
}

} // namespace

MainMenu::MainMenu(QMenuBar &bar)
{
    bar.setFont(tahoma());

    menu1 = submenu(bar, "menu1", QStringLiteral("File"));
    newprj = item(*menu1,
                  "newprj",
                  QStringLiteral("&New Project"),
                  QKeySequence(Qt::CTRL | Qt::Key_N));
    m = separator(*menu1, "m");
    openprj = item(*menu1,
                   "openprj",
                   QStringLiteral("&Open Project"),
                   QKeySequence(Qt::CTRL | Qt::Key_O));
    saveprj = item(*menu1,
                   "saveprj",
                   QStringLiteral("&Save Project"),
                   QKeySequence(Qt::CTRL | Qt::Key_S));
    mnuExportVideo = item(*menu1, "mnuExportVideo", QStringLiteral("&Export Video..."));
    mnuPackShow = item(*menu1, "mnuPackShow", QStringLiteral("&Pack Show..."));
    sx = separator(*menu1, "sx");
    mnqt = item(*menu1, "mnqt", QStringLiteral("&Quit"), QKeySequence(Qt::Key_F4));

    mnuinsert = submenu(bar, "mnuinsert", QStringLiteral("&Insert"));
    mnuPicture = submenu(*mnuinsert, "mnuPicture", QStringLiteral("&Image"));
    mnuAddImage = item(*mnuPicture,
                       "mnuAddImage",
                       QStringLiteral("Add"),
                       QKeySequence(Qt::CTRL | Qt::Key_F1));
    mnuRemoveImage = item(*mnuPicture, "mnuRemoveImage", QStringLiteral("&Remove"));
    mnuAddImageDir = item(*mnuPicture,
                          "mnuAddImageDir",
                          QStringLiteral("Add Directory"),
                          QKeySequence(Qt::CTRL | Qt::Key_D));
    mnuAudio = submenu(*mnuinsert, "mnuAudio", QStringLiteral("Audio"));
    mnuAddAudio = item(*mnuAudio, "mnuAddAudio", QStringLiteral("A&dd"), QKeySequence(Qt::Key_F2));
    mnuRemoveAudio = item(*mnuAudio, "mnuRemoveAudio", QStringLiteral("&Remove"));
    mnuAddAudioDir = item(*mnuAudio,
                          "mnuAddAudioDir",
                          QStringLiteral("Add &Directory"),
                          QKeySequence(Qt::CTRL | Qt::Key_F2));

    // "Toiols" is the menu's caption as the program has always shown it.
    mnuPreferences = submenu(bar, "mnuPreferences", QStringLiteral("&Toiols"));
    mnuop = submenu(*mnuPreferences, "mnuop", QStringLiteral("&Options"));
    mnuStretchedImages = item(*mnuop,
                              "mnuStretchedImages",
                              QStringLiteral("Stretch Images"),
                              QKeySequence(Qt::Key_F3));
    mnuStretchedImages->setCheckable(true);
    mnuEnableAudio = item(*mnuop, "mnuEnableAudio", QStringLiteral("&Enable Audio"));
    mnuEnableAudio->setCheckable(true);

    m2 = submenu(bar, "m2", QStringLiteral("&Help"));
    mh = item(*m2, "mh", QStringLiteral("&Vistelle Help..."), QKeySequence(Qt::Key_F1));
    m23 = item(*m2, "m23", QStringLiteral("About Vistelle"));
}
