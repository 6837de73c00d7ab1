#pragma once

#include "editor/PanelSwitcher.h"
#include "platform/PlatformServices.h"
#include "project/PathText.h"
#include "project/ProjectLists.h"
#include "project/ProjectWriter.h"

#include <QMainWindow>

#include <memory>

class AudioListPanel;
class EditorDialogs;
class ExportVideoCommand;
class ImageListPanel;
class MainForm;
class MainMenu;
class MediaPlayer;
class OptionSwitch;
class PackShowCommand;
class ProjectCommands;
class TestRun;

// The editor's main window: the image list with its preview, four switchable option panels and
// the menu bar. The project lives in its controls; loading and the directory import append to
// them through ProjectLists, saving reads them through snapshot(). The dialogs and the test run's
// player window it opens are windows of their own that stay open when it closes.
class Main final : public QMainWindow, public ProjectLists
{
    Q_OBJECT

public:
    // The program directory holds testrun.test and Autorun.inf when the user may write there;
    // else testrun.test goes into the user data directory and Autorun.inf where the user says.
    Main(const PlatformServices &services,
         QString programDirectory,
         QString userDataDirectory,
         QWidget *parent = nullptr);
    ~Main() override;

    [[nodiscard]] const PlatformServices &services() const { return m_services; }
    [[nodiscard]] MainForm &form() const { return *m_form; }
    [[nodiscard]] MainMenu &menu() const { return *m_menu; }

    void appendImageEntry(const QString &path, const QString &pause) override;
    void appendAudioPath(const QString &path) override;

    // A copy of the lists and the two switches, taken at once.
    [[nodiscard]] ProjectSnapshot snapshot() const;

    // The pause text that new image entries get (Text1).
    [[nodiscard]] QString pauseText() const;
    void setPauseText(const QString &text);
    // Setting a switch runs its check box's handling, so the menu's check mark follows.
    void setStretchImages(bool on);
    void setEnableAudio(bool on);
    void clearImageEntries();
    void clearAudioPaths();
    void clearPreview();
    void clearAudioPathDisplay();

    void showPanel(EditorPanel panel);
    [[nodiscard]] EditorPanel currentPanel() const;

    // Appends a project file's content as the Open command does, for a file named on the
    // command line ("Open with" in a file manager).
    void LoadProject(const QString &path);

public slots:
    // One slot per action; its button and its menu item are both connected to it.
    void addImage();
    void removeImage();
    void applyPause();
    void addAudio();
    void removeAudio();
    void openImageImport();
    void openAudioImport();
    void newProject();
    void openProject();
    void saveProject();
    void exportVideo();
    void testProject();
    void packShow();
    void openAutorunBuilder();
    void openHelp();

protected:
    bool event(QEvent *event) override;

private:
    // Marks a command under way. Commands let events run, so the user can close the window in the
    // middle of one; the window then disappears at once but is deleted only after the command.
    // The window's own yields are marked the same way through GuardedEventPump.
    class RunningCommand
    {
    public:
        explicit RunningCommand(Main &window);
        ~RunningCommand();
        RunningCommand(const RunningCommand &) = delete;
        RunningCommand &operator=(const RunningCommand &) = delete;

    private:
        Main &m_window;
    };

    class GuardedEventPump;

    void returnFromTestRun();
    // Where the show's "%CurDir" names are found: beside the editor, else beside the project
    // last opened or saved.
    [[nodiscard]] CurDirFolders showFolders() const;
    void setClientHeight(int pixels);
    void connectActions();

    PlatformServices m_services;
    QString m_programDirectory;
    MediaPlayer *m_previewPlayer;
    QWidget *m_client;
    std::unique_ptr<MainForm> m_form;
    std::unique_ptr<MainMenu> m_menu;
    std::unique_ptr<PanelSwitcher> m_panels;
    std::unique_ptr<OptionSwitch> m_stretchOption;
    std::unique_ptr<OptionSwitch> m_audioOption;
    std::unique_ptr<GuardedEventPump> m_guardedEvents;
    std::unique_ptr<ImageListPanel> m_images;
    std::unique_ptr<AudioListPanel> m_audio;
    std::unique_ptr<ProjectCommands> m_commands;
    std::unique_ptr<TestRun> m_testRun;
    std::unique_ptr<ExportVideoCommand> m_videoExport;
    std::unique_ptr<PackShowCommand> m_pack;
    std::unique_ptr<EditorDialogs> m_dialogs;
    int m_runningCommands = 0;
    bool m_deleteWhenIdle = false;
};
