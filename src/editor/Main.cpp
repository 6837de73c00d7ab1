#include "editor/Main.h"

#include "dialogs/DirectoryImportTarget.h"
#include "dialogs/EditorDialogs.h"
#include "editor/AudioListPanel.h"
#include "editor/EditorLook.h"
#include "editor/ExportVideoCommand.h"
#include "editor/ImageListPanel.h"
#include "editor/MainForm.h"
#include "editor/MainMenu.h"
#include "editor/OptionSwitch.h"
#include "editor/PackShowCommand.h"
#include "editor/PanelFrame.h"
#include "editor/PanelSwitcher.h"
#include "editor/PauseLineEdit.h"
#include "editor/ProjectCommands.h"
#include "editor/TestRun.h"
#include "forms/FormLook.h"
#include "platform/EventPump.h"
#include "player/Form1.h"
#include "project/ProjectWriter.h"
#include "sound/MediaPlayer.h"

#include <QAction>
#include <QCheckBox>
#include <QEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>

#include <functional>

// Lets events run for the window's own work, with the window marked busy meanwhile: a close
// handled in there hides it, but cannot delete it under that work.
class Main::GuardedEventPump final : public EventPump
{
public:
    GuardedEventPump(Main &window, EventPump *events)
        : m_window(window)
        , m_events(events)
    {}

    void letEventsRun() override
    {
        if (!m_events)
            return;
        const RunningCommand running(m_window);
        m_events->letEventsRun();
    }

private:
    Main &m_window;
    EventPump *m_events;
};

Main::Main(const PlatformServices &services,
           QString programDirectory,
           QString userDataDirectory,
           QWidget *parent)
    : QMainWindow(parent)
    , m_services(services)
    , m_programDirectory(std::move(programDirectory))
    , m_previewPlayer(m_services.createMediaPlayer(this))
    , m_client(new QWidget(this))
{
    setObjectName(QStringLiteral("Main"));
    setWindowTitle(QStringLiteral("Vistelle"));
    setWindowIcon(EditorLook::windowIcon());
    // A fixed border with a minimize button and no maximize button.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                   | Qt::WindowCloseButtonHint);
    setCentralWidget(m_client);

    createPanels();
    createCommandsWithWindows(std::move(userDataDirectory));
    connectActions();
    addShortcuts();

    // Opens on "Image Options"; the selectors keep their designed colours until one is clicked.
    setClientHeight(clientHeightPixels(EditorPanel::Image));
    m_form->ImageFrame->setVisible(true);
    m_form->AudioFrame->setVisible(false);
    m_form->PrefsFrame->setVisible(false);
    m_form->ProjectFrame->setVisible(false);
    centreOnScreen(*this);
}

Main::~Main() = default;

// The form, its menu and the parts that act on them, all with the guarded event pump.
void Main::createPanels()
{
    m_form = std::make_unique<MainForm>(*m_client, *m_previewPlayer);
    m_menu = std::make_unique<MainMenu>(*menuBar());
    m_panels = std::make_unique<PanelSwitcher>(*m_form,
                                               [this](int height) { setClientHeight(height); });
    m_stretchOption = std::make_unique<OptionSwitch>(*m_form->Check1, *m_menu->mnuStretchedImages);
    m_audioOption = std::make_unique<OptionSwitch>(*m_form->Check2, *m_menu->mnuEnableAudio);
    m_guardedEvents = std::make_unique<GuardedEventPump>(*this, m_services.events);
    PlatformServices guarded = m_services;
    guarded.events = m_guardedEvents.get();
    const auto folders = [this] { return showFolders(); };
    m_images = std::make_unique<ImageListPanel>(*m_form, guarded, folders);
    m_audio = std::make_unique<AudioListPanel>(*m_form, guarded, *m_previewPlayer, folders);
    m_commands = std::make_unique<ProjectCommands>(*m_images,
                                                   *m_audio,
                                                   ProjectControls{*m_form->Text1,
                                                                   *m_form->Text2,
                                                                   *m_form->Check1,
                                                                   *m_form->Check2},
                                                   guarded);
}

// The commands that open windows of their own: the test run's player, the video export and the
// packing with their progress, and the dialogs.
void Main::createCommandsWithWindows(QString userDataDirectory)
{
    // The player window and the dialogs outlive this window, so they get the plain services.
    m_testRun = std::make_unique<TestRun>(m_services,
                                          m_programDirectory,
                                          std::move(userDataDirectory));
    m_videoExport = std::make_unique<ExportVideoCommand>(*this, m_services, m_programDirectory);
    m_pack = std::make_unique<PackShowCommand>(*this, m_services, m_programDirectory);
    // The import target dies with this window, which stops an import that is still running.
    auto *importTarget = new DirectoryImportTarget(
        *m_commands, [this] { return m_form->Text1->text(); }, this);
    // The builder asks for the project folder when it needs it; it may outlive this window.
    const QPointer<Main> self(this);
    m_dialogs = std::make_unique<EditorDialogs>(m_services, m_programDirectory, importTarget, [self] {
        return self ? self->m_commands->projectDirectory() : QString();
    });
}

void Main::connectActions()
{
    const MainForm &f = *m_form;
    const MainMenu &menu = *m_menu;
    ImageListPanel &images = *m_images;
    AudioListPanel &audio = *m_audio;
    ProjectCommands &commands = *m_commands;
    EditorDialogs &dialogs = *m_dialogs;
    bind(f.Command1, menu.mnuAddImage, [&images] { images.addImage(); });
    bind(f.Command3, menu.mnuRemoveImage, [&images] { images.removeImage(); });
    bind(f.Command6, nullptr, [&images] { images.applyPause(); });
    bind(f.Command2, menu.mnuAddImageDir, [&dialogs] {
        dialogs.openDirectoryImport(ImportMode::Image);
    });
    bind(f.Command5, menu.mnuAddAudio, [&audio] { audio.addAudio(); });
    bind(f.Command10, menu.mnuRemoveAudio, [&audio] { audio.removeAudio(); });
    bind(f.Command11, menu.mnuAddAudioDir, [&dialogs] {
        dialogs.openDirectoryImport(ImportMode::Audio);
    });
    bind(f.Command14, menu.newprj, [&commands] { commands.newProject(); });
    bind(f.Command13, menu.openprj, [&commands] { commands.openProject(); });
    bind(f.Command12, menu.saveprj, [&commands] { commands.saveProject(); });
    // Exports what the window holds, as the test run plays it, without saving it.
    bind(nullptr, menu.mnuExportVideo, [this] {
        m_videoExport->exportVideo(m_commands->snapshot(), m_commands->projectDirectory());
    });
    bind(nullptr, menu.mnuPackShow, [this] {
        m_pack->run(m_commands->snapshot(),
                    m_commands->projectDirectory(),
                    m_commands->projectFileName());
    });
    bind(f.Command15, nullptr, [this] { testProject(); });
    bind(f.Command16, nullptr, [&dialogs] { dialogs.openAutorunBuilder(); });
    bind(nullptr, menu.mh, [&dialogs] { dialogs.openHelp(); });
    connect(menu.mnqt, &QAction::triggered, this, &QWidget::close);
    // "About Vistelle" has no action.
}

// The button and the menu item of an action run it alike, marked as a command under way.
void Main::bind(QPushButton *button, QAction *item, std::function<void()> action)
{
    const auto run = [this, action = std::move(action)] {
        const RunningCommand running(*this);
        action();
    };
    if (button)
        connect(button, &QPushButton::clicked, this, run);
    if (item)
        connect(item, &QAction::triggered, this, run);
}

// The shortcuts work wherever the focus is in the window, also with no menu open.
void Main::addShortcuts()
{
    const MainMenu &menu = *m_menu;
    for (QAction *action : {menu.newprj,
                            menu.openprj,
                            menu.saveprj,
                            menu.mnqt,
                            menu.mnuAddImage,
                            menu.mnuAddImageDir,
                            menu.mnuAddAudio,
                            menu.mnuAddAudioDir,
                            menu.mnuStretchedImages,
                            menu.mh}) {
        addAction(action);
    }
}

void Main::setClientHeight(int pixels)
{
    const int width = twipsToPixels(MainForm::kClientWidthTwips);
    // Whatever the style makes of the menu bar (or none, where the menu is the system's), the
    // client area below it gets exactly the height asked for.
    int menuHeight = 0;
    if (!menuBar()->isNativeMenuBar())
        menuHeight = std::max(menuBar()->heightForWidth(width), menuBar()->sizeHint().height());
    m_client->setFixedSize(width, pixels);
    setFixedSize(width, menuHeight + pixels);
}

CurDirFolders Main::showFolders() const
{
    return {m_programDirectory, m_commands->projectDirectory()};
}

void Main::testProject()
{
    if (Form1 *player = m_testRun->run(m_commands->snapshot(), m_commands->projectDirectory()))
        connect(player, &Form1::ended, this, &Main::returnFromTestRun, Qt::UniqueConnection);
}

// After the show this window is in front again, if it is still open.
void Main::returnFromTestRun()
{
    raise();
    activateWindow();
}

bool Main::event(QEvent *event)
{
    if (event->type() == QEvent::DeferredDelete && m_runningCommands > 0) {
        m_deleteWhenIdle = true;
        return true;
    }
    return QMainWindow::event(event);
}

Main::RunningCommand::RunningCommand(Main &window)
    : m_window(window)
{
    ++m_window.m_runningCommands;
}

Main::RunningCommand::~RunningCommand()
{
    if (--m_window.m_runningCommands == 0 && m_window.m_deleteWhenIdle) {
        m_window.m_deleteWhenIdle = false;
        m_window.deleteLater();
    }
}
