#include "editor/TestRun.h"

#include "platform/EventPump.h"
#include "platform/UserFolders.h"
#include "player/Form1.h"
#include "project/ProjectFiles.h"
#include "project/ProjectWriter.h"

TestRun::TestRun(const PlatformServices &services,
                 QString programDirectory,
                 QString userDataDirectory)
    : m_services(services)
    , m_programDirectory(std::move(programDirectory))
    , m_userDataDirectory(std::move(userDataDirectory))
{}

QString TestRun::projectPath() const
{
    return testRunProjectPath(writableFolderFor(m_programDirectory, m_userDataDirectory));
}

Form1 *TestRun::run(const ProjectSnapshot &project, const QString &projectDirectory)
{
    const QString path = projectPath();
    SaveProject(path, project, 1, [this] { letEventsRun(); });
    letEventsRun();
    // A test started while this one yielded may have opened the window meanwhile.
    if (m_window) {
        m_window->raise();
        m_window->activateWindow();
        return m_window;
    }
    auto *window = new Form1(m_services,
                             PlayerSetup{PlayerVariant::TestRun,
                                         m_programDirectory,
                                         {},
                                         path,
                                         projectDirectory});
    window->setAttribute(Qt::WA_DeleteOnClose);
    // Known before start() yields, so a second test meanwhile raises this window; forgotten as
    // soon as its show is over, even if it is deleted only later.
    m_window = window;
    connect(window, &Form1::ended, this, [this, window] {
        if (m_window == window)
            m_window.clear();
    });
    window->start();
    return m_window;
}

void TestRun::letEventsRun()
{
    if (m_services.events)
        m_services.events->letEventsRun();
}
