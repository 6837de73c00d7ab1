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

    QMenu *menu1;            // "File"
    QAction *newprj;         // "&New Project", Ctrl+N
    QAction *m;              // separator
    QAction *openprj;        // "&Open Project", Ctrl+O
    QAction *saveprj;        // "&Save Project", Ctrl+S
    QAction *mnuExportVideo; // "&Export Video..."
    QAction *mnuPackShow;    // "&Pack Show..."
    QAction *sx;             // separator
    QAction *mnqt;           // "&Quit", F4

    QMenu *mnuinsert;        // "&Insert"
    QMenu *mnuPicture;       // "&Image"
    QAction *mnuAddImage;    // "Add", Ctrl+F1
    QAction *mnuRemoveImage; // "&Remove"
    QAction *mnuAddImageDir; // "Add Directory", Ctrl+D
    QMenu *mnuAudio;         // "Audio"
    QAction *mnuAddAudio;    // "A&dd", F2
    QAction *mnuRemoveAudio; // "&Remove"
    QAction *mnuAddAudioDir; // "Add &Directory", Ctrl+F2

    QMenu *mnuPreferences;       // "&Toiols"
    QMenu *mnuop;                // "&Options"
    QAction *mnuStretchedImages; // "Stretch Images", F3
    QAction *mnuEnableAudio;     // "&Enable Audio"

    QMenu *m2;    // "&Help"
    QAction *mh;  // "&Vistelle Help...", F1
    QAction *m23; // "About Vistelle"
};
