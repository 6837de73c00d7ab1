#pragma once

#include "platform/PlatformServices.h"
#include "project/PathText.h"

#include <QMainWindow>

#include <functional>
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
class PanelSwitcher;
class QAction;
class QPushButton;
class ProjectCommands;
class TestRun;

// The editor's main window: the image list with its preview, four switchable option panels and
// the menu bar. The project lives in its controls; the window wires buttons and menu items to the
// panels and commands that act on them. The dialogs and the test run's player window it opens
// are windows of their own that stay open when it closes.
class Main final : public QMainWindow
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

    [[nodiscard]] MainForm &form() const { return *m_form; }
    // New, Open and Save, and the lists a project is loaded into.
    [[nodiscard]] ProjectCommands &commands() const { return *m_commands; }

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

    void createPanels();
    void createCommandsWithWindows(QString userDataDirectory);
    void connectActions();
    void bind(QPushButton *button, QAction *item, std::function<void()> action);
    void addShortcuts();
    void testProject();
    void returnFromTestRun();
    // Where the show's "%CurDir" names are found: beside the editor, else beside the project
    // last opened or saved.
    [[nodiscard]] CurDirFolders showFolders() const;
    void setClientHeight(int pixels);

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
