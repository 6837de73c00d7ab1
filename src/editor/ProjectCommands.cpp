#include "editor/ProjectCommands.h"

#include "editor/AudioListPanel.h"
#include "editor/ImageListPanel.h"
#include "editor/PauseField.h"
#include "platform/EventPump.h"
#include "platform/MessageBoxService.h"
#include "platform/NativePath.h"
#include "platform/PlatformServices.h"
#include "project/ProjectFiles.h"
#include "project/ProjectReader.h"
#include "project/ProjectWriter.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QLineEdit>

namespace {

[[nodiscard]] bool turnsOn(const std::optional<QString> &switchValue)
{
    return switchValue.value_or(QString()) == u"1";
}

} // namespace

ProjectCommands::ProjectCommands(ImageListPanel &images,
                                 AudioListPanel &audio,
                                 ProjectControls controls,
                                 const PlatformServices &services)
    : m_images(images)
    , m_audio(audio)
    , m_controls(controls)
    , m_messages(*services.messages)
    , m_events(services.events)
    , CD3(*services.files)
{}

void ProjectCommands::newProject()
{
    m_images.clearEntries();
    m_controls.audioPathDisplay.clear();
    m_controls.pauseBox.setText(kStartPauseText);
    m_controls.stretchImages.setChecked(false);
    m_controls.enableAudio.setChecked(false);
    m_audio.clearPaths();
    m_images.clearPreview();
    m_projectDirectory.clear();
    m_projectFileName.clear();
}

void ProjectCommands::openProject()
{
    CD3.setFilter(kProjectFilter);
    if (!CD3.showOpen())
        return;
    // A copy: a command run while the load yields may choose another name in CD3.
    const QString path = CD3.fileName();
    loadProjectFile(path);
}

void ProjectCommands::saveProject()
{
    CD3.setFilter(kProjectFilter);
    if (!CD3.showSave())
        return;
    const QString path = CD3.fileName();
    saveProjectFile(path, 0);
}

void ProjectCommands::loadProjectFile(const QString &path)
{
    rememberProjectFile(path);
    const ProjectSwitchValues switches = LoadProject(path, *this, [this] { letEventsRun(); });
    if (turnsOn(switches.stretch))
        m_controls.stretchImages.setChecked(true);
    if (turnsOn(switches.audio))
        m_controls.enableAudio.setChecked(true);
}

void ProjectCommands::saveProjectFile(const QString &path, qint16 Silent)
{
    // Taken before the first yield: whatever runs meanwhile cannot mix two states in one file.
    const ProjectSnapshot project = snapshot();
    const std::optional<SaveNotice> notice = SaveProject(path, project, Silent, [this] {
        letEventsRun();
    });
    if (!notice)
        return;
    if (notice->kind == SaveNoticeKind::Saved)
        rememberProjectFile(path);
    m_messages.show(notice->text,
                    notice->kind == SaveNoticeKind::Saved ? MessageIcon::Information
                                                          : MessageIcon::Critical);
}

void ProjectCommands::rememberProjectFile(const QString &pathText)
{
    const QFileInfo file(openablePath(pathText));
    m_projectDirectory = file.absolutePath();
    m_projectFileName = file.fileName();
}

ProjectSnapshot ProjectCommands::snapshot() const
{
    ProjectSnapshot project;
    project.imagePaths = m_images.paths();
    project.pauses = m_images.pauses();
    project.audioPaths = m_audio.paths();
    project.stretch = m_controls.stretchImages.isChecked() ? 1 : 0;
    project.audio = m_controls.enableAudio.isChecked() ? 1 : 0;
    return project;
}

void ProjectCommands::appendImageEntry(const QString &path, const QString &pause)
{
    m_images.appendEntry(path, pause);
}

void ProjectCommands::appendAudioPath(const QString &path)
{
    m_audio.appendPath(path);
}

void ProjectCommands::letEventsRun()
{
    if (m_events)
        m_events->letEventsRun();
}
