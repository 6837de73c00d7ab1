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
#include "editor/PauseLineEdit.h"
#include "editor/ProjectCommands.h"
#include "editor/TestRun.h"
#include "forms/FormLook.h"
#include "platform/EventPump.h"
#include "platform/MediaPlayer.h"
#include "player/Form1.h"

#include <QAction>
#include <QCheckBox>
#include <QEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>

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
    m_commands = std::make_unique<ProjectCommands>(*this, guarded);
    // The player window and the dialogs outlive this window, so they get the plain services.
    m_testRun = std::make_unique<TestRun>(m_services,
                                          m_programDirectory,
                                          std::move(userDataDirectory));
    m_videoExport = std::make_unique<ExportVideoCommand>(*this, m_services, m_programDirectory);
    m_pack = std::make_unique<PackShowCommand>(*this, m_services, m_programDirectory);
    // The import target dies with this window, which stops an import that is still running.
    auto *importTarget = new DirectoryImportTarget(
        *this, [this] { return pauseText(); }, this);
    // The builder asks for the project folder when it needs it; it may outlive this window.
    const QPointer<Main> self(this);
    m_dialogs = std::make_unique<EditorDialogs>(m_services, m_programDirectory, importTarget, [self] {
        return self ? self->m_commands->projectDirectory() : QString();
    });
    connectActions();

    // Opens on "Image Options"; the selectors keep their designed colours until one is clicked.
    setClientHeight(clientHeightPixels(EditorPanel::Image));
    m_form->ImageFrame->setVisible(true);
    m_form->AudioFrame->setVisible(false);
    m_form->PrefsFrame->setVisible(false);
    m_form->ProjectFrame->setVisible(false);
    centreOnScreen(*this);
}

Main::~Main() = default;

void Main::connectActions()
{
    const MainForm &f = *m_form;
    const MainMenu &menu = *m_menu;
    const auto both = [this](QPushButton *button, QAction *item, void (Main::*action)()) {
        const auto run = [this, action] {
            const RunningCommand running(*this);
            (this->*action)();
        };
        if (button)
            connect(button, &QPushButton::clicked, this, run);
        if (item)
            connect(item, &QAction::triggered, this, run);
    };
    both(f.Command1, menu.mnuAddImage, &Main::addImage);
    both(f.Command3, menu.mnuRemoveImage, &Main::removeImage);
    both(f.Command6, nullptr, &Main::applyPause);
    both(f.Command2, menu.mnuAddImageDir, &Main::openImageImport);
    both(f.Command5, menu.mnuAddAudio, &Main::addAudio);
    both(f.Command10, menu.mnuRemoveAudio, &Main::removeAudio);
    both(f.Command11, menu.mnuAddAudioDir, &Main::openAudioImport);
    both(f.Command14, menu.newprj, &Main::newProject);
    both(f.Command13, menu.openprj, &Main::openProject);
    both(f.Command12, menu.saveprj, &Main::saveProject);
    both(nullptr, menu.mnuExportVideo, &Main::exportVideo);
    both(nullptr, menu.mnuPackShow, &Main::packShow);
    both(f.Command15, nullptr, &Main::testProject);
    both(f.Command16, nullptr, &Main::openAutorunBuilder);
    both(nullptr, menu.mh, &Main::openHelp);
    connect(menu.mnqt, &QAction::triggered, this, &QWidget::close);
    // "About Vistelle" has no action.

    // The shortcuts work wherever the focus is in the window, also with no menu open.
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

void Main::appendImageEntry(const QString &path, const QString &pause)
{
    m_images->appendEntry(path, pause);
}

void Main::appendAudioPath(const QString &path)
{
    m_audio->appendPath(path);
}

ProjectSnapshot Main::snapshot() const
{
    ProjectSnapshot project;
    project.imagePaths = m_images->paths();
    project.pauses = m_images->pauses();
    project.audioPaths = m_audio->paths();
    project.stretch = m_form->Check1->isChecked() ? 1 : 0;
    project.audio = m_form->Check2->isChecked() ? 1 : 0;
    return project;
}

QString Main::pauseText() const
{
    return m_form->Text1->text();
}

void Main::setPauseText(const QString &text)
{
    m_form->Text1->setText(text);
}

void Main::setStretchImages(bool on)
{
    m_form->Check1->setChecked(on);
}

void Main::setEnableAudio(bool on)
{
    m_form->Check2->setChecked(on);
}

void Main::clearImageEntries()
{
    m_images->clearEntries();
}

void Main::clearAudioPaths()
{
    m_audio->clearPaths();
}

void Main::clearPreview()
{
    m_images->clearPreview();
}

void Main::clearAudioPathDisplay()
{
    m_form->Text2->clear();
}

void Main::showPanel(EditorPanel panel)
{
    m_panels->show(panel);
}

EditorPanel Main::currentPanel() const
{
    return m_panels->current();
}

void Main::addImage()
{
    m_images->addImage();
}

void Main::removeImage()
{
    m_images->removeImage();
}

void Main::applyPause()
{
    m_images->applyPause();
}

void Main::addAudio()
{
    m_audio->addAudio();
}

void Main::removeAudio()
{
    m_audio->removeAudio();
}

void Main::openImageImport()
{
    m_dialogs->openDirectoryImport(ImportMode::Image);
}

void Main::openAudioImport()
{
    m_dialogs->openDirectoryImport(ImportMode::Audio);
}

void Main::newProject()
{
    m_commands->newProject();
}

void Main::openProject()
{
    m_commands->openProject();
}

void Main::LoadProject(const QString &path)
{
    m_commands->loadProjectFile(path);
}

void Main::saveProject()
{
    m_commands->saveProject();
}

// Exports what the window holds, as the test run plays it, without saving it.
void Main::exportVideo()
{
    m_videoExport->exportVideo(snapshot(), m_commands->projectDirectory());
}

CurDirFolders Main::showFolders() const
{
    return {m_programDirectory, m_commands->projectDirectory()};
}

void Main::testProject()
{
    if (Form1 *player = m_testRun->run(snapshot(), m_commands->projectDirectory()))
        connect(player, &Form1::ended, this, &Main::returnFromTestRun, Qt::UniqueConnection);
}

void Main::packShow()
{
    m_pack->run(snapshot(), m_commands->projectDirectory(), m_commands->projectFileName());
}

// After the show this window is in front again, if it is still open.
void Main::returnFromTestRun()
{
    raise();
    activateWindow();
}

void Main::openAutorunBuilder()
{
    m_dialogs->openAutorunBuilder();
}

void Main::openHelp()
{
    m_dialogs->openHelp();
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
