#pragma once

#include "platform/CommonDialog.h"
#include "platform/PlatformServices.h"
#include "project/PathText.h"
#include "project/ProjectLists.h"

#include <QString>
#include <QWidget>

#include <optional>

class AudioPlaylist;
class ImageSequence;
class MediaPlayer;
class PictureArea;

// Showvale's own window, or the copy the editor opens for a test run of its project.
enum class PlayerVariant { Showvale, TestRun };

struct PlayerSetup
{
    PlayerVariant variant = PlayerVariant::Showvale;
    // The directory that holds the running program: "%CurDir" stands for it, and the test run
    // reads its project from it.
    QString programDirectory;
    // Showvale's arguments joined by one blank; the test run ignores it.
    QString argumentText;
    // The test run's project file; empty: testrun.test in the program directory.
    QString testRunProjectPath = {};
    // The test run's project folder, where "%CurDir" names are looked for when they are not in
    // the program directory. Showvale looks in the folder of the project file it plays.
    QString projectDirectory = {};
};

// The player window: covers the screen in black, shows the project's pictures one after another
// with its music, and ends on a click. Behaviour lives in ImageSequence and AudioPlaylist; the
// window wires them to the screen, the media player and the messages.
class Form1 final : public QWidget, private ProjectLists
{
    Q_OBJECT

public:
    Form1(const PlatformServices &services, PlayerSetup setup, QWidget *parent = nullptr);
    ~Form1() override;

    // The start-up sequence: finds the project (argument text, Open dialog or testrun.test),
    // loads it, covers the screen and shows the window. False when the window ended on the way
    // (a cancelled dialog, a project that cannot be read); ended() has been emitted then.
    bool start();

    // Reads the project into the lists and settings, then starts the show. A file that cannot be
    // read is reported with the system's description and ends the window.
    bool LoadShow(const QString &pathText);
    void StartShow();

    [[nodiscard]] PlayerVariant variant() const { return m_setup.variant; }
    [[nodiscard]] QString StretchSetting() const { return m_stretchSetting; }
    [[nodiscard]] QString AudioSetting() const { return m_audioSetting; }
    [[nodiscard]] ImageSequence &imageSequence() const { return *m_sequence; }
    [[nodiscard]] AudioPlaylist &audioPlaylist() const { return *m_audio; }

    // The message that ends the show when a picture cannot be shown.
    [[nodiscard]] QString pictureFailureText() const;

signals:
    // The show is over: clicked, closed or failed. Showvale ends the process here; the editor
    // keeps running.
    void ended(bool failed);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void appendImageEntry(const QString &path, const QString &pause) override;
    void appendAudioPath(const QString &path) override;

    [[nodiscard]] std::optional<QString> projectPath();
    void coverScreen();
    bool showPicture(const QString &pathText);
    [[nodiscard]] QString fileFor(const QString &pathText) const;
    void reportPictureFailure();
    void letEventsRun();
    void endShow(bool failed);
    void stopShow();

    // The window's two components under their designer names.
    struct Controls
    {
        PictureArea *Image1; // the picture on show, with its thin frame
        MediaPlayer *MP1;    // plays the music, one file after another
    };

    PlatformServices m_services;
    PlayerSetup m_setup;
    CurDirFolders m_showFolders;
    CommonDialog CD1; // the Open dialog that asks for a project
    Controls m_form;
    ImageSequence *m_sequence;
    AudioPlaylist *m_audio;
    QString m_stretchSetting;
    QString m_audioSetting;
    bool m_leftPressed = false;
    bool m_ended = false;
};
