#include "dialogs/EditorDialogs.h"

#include "dialogs/DirectoryImportTarget.h"
#include "dialogs/Form3.h"
#include "dialogs/frmTip.h"

namespace {

template<typename Window>
Window *showAndRaise(Window *window)
{
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

} // namespace

EditorDialogs::EditorDialogs(const PlatformServices &services,
                             QString programDirectory,
                             DirectoryImportTarget *importTarget,
                             std::function<QString()> projectDirectory)
    : m_services(services)
    , m_programDirectory(std::move(programDirectory))
    , m_projectDirectory(std::move(projectDirectory))
    , m_importTarget(importTarget)
{}

Form2 *EditorDialogs::openDirectoryImport(ImportMode mode)
{
    if (!m_form2)
        m_form2 = new Form2(m_services, m_importTarget);
    showAndRaise(m_form2.data());
    m_form2->setImportMode(mode);
    return m_form2;
}

Form3 *EditorDialogs::openAutorunBuilder()
{
    if (!m_form3)
        m_form3 = new Form3(m_services, m_programDirectory, m_projectDirectory);
    return showAndRaise(m_form3.data());
}

frmTip *EditorDialogs::openHelp()
{
    if (!m_help)
        m_help = new frmTip;
    return showAndRaise(m_help.data());
}
