#pragma once

class QAction;
class QMenu;
class QMenuBar;

// The editor's menu bar: every menu and item under its designer name, with its caption, access
// key and shortcut. Only the two option items are checkable; the window connects the rest.
class MainMenu
{
public:
    explicit MainMenu(QMenuBar &bar);

    QMenu *menu1;
    QAction *newprj;
    QAction *m;
    QAction *openprj;
    QAction *saveprj;
    QAction *mnuExportVideo;
    QAction *mnuPackShow;
    QAction *sx;
    QAction *mnqt;

    QMenu *mnuinsert;
    QMenu *mnuPicture;
    QAction *mnuAddImage;
    QAction *mnuRemoveImage;
    QAction *mnuAddImageDir;
    QMenu *mnuAudio;
    QAction *mnuAddAudio;
    QAction *mnuRemoveAudio;
    QAction *mnuAddAudioDir;

    QMenu *mnuPreferences;
    QMenu *mnuop;
    QAction *mnuStretchedImages;
    QAction *mnuEnableAudio;

    QMenu *m2;
    QAction *mh;
    QAction *m23;
};
