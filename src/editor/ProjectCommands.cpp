#include "editor/ProjectCommands.h"

#include "editor/Main.h"
#include "platform/EventPump.h"
#include "platform/MessageBoxService.h"
#include "platform/NativePath.h"
#include "platform/PlatformServices.h"
#include "project/ProjectReader.h"
#include "project/ProjectWriter.h"

#include <QFileInfo>

namespace {

const QString kProjectFilter = QStringLiteral("Slideshow Projects|*.ssp");
const QString kStartPause = QStringLiteral("3");

[[nodiscard]] bool turnsOn(const std::optional<QString> &switchValue)
{
    return switchValue.value_or(QString()) == u"1";
}

} // namespace

ProjectCommands::ProjectCommands(Main &window, const PlatformServices &services)
    : m_window(window)
    , m_messages(*services.messages)
    , m_events(services.events)
    , CD3(*services.files)
{}

void ProjectCommands::newProject()
{
    m_window.clearImageEntries();
    m_window.clearAudioPathDisplay();
    m_window.setPauseText(kStartPause);
    m_window.setStretchImages(false);
    m_window.setEnableAudio(false);
    m_window.clearAudioPaths();
    m_window.clearPreview();
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
    const ProjectSwitchValues switches = LoadProject(path, m_window, [this] { letEventsRun(); });
    if (turnsOn(switches.stretch))
        m_window.setStretchImages(true);
    if (turnsOn(switches.audio))
        m_window.setEnableAudio(true);
}

void ProjectCommands::saveProjectFile(const QString &path, qint16 Silent)
{
    // Taken before the first yield: whatever runs meanwhile cannot mix two states in one file.
    const ProjectSnapshot project = m_window.snapshot();
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

void ProjectCommands::letEventsRun()
{
    if (m_events)
        m_events->letEventsRun();
}
