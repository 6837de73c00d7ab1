#pragma once

#include "platform/CommonDialog.h"

#include <QtGlobal>

class EventPump;
class Main;
class MessageBoxService;
struct PlatformServices;

// New, Open and Save on the editor window's controls. CD3 is the one file dialog of Open and
// Save, so each offers the name chosen last in either.
class ProjectCommands final
{
public:
    ProjectCommands(Main &window, const PlatformServices &services);

    // Empties the lists, turns both switches off and resets the pause box, the audio path display
    // and the preview; the image path display and the audio preview player stay as they are.
    void newProject();
    // Asks for a project file and appends its content to the window.
    void openProject();
    // Asks for a file name and writes the window's project to it.
    void saveProject();

    // Appends the file's entries to the lists. A switch is turned on only by a value of exactly
    // "1" and never turned off; a file that cannot be read ends the load without a word.
    void loadProjectFile(const QString &path);
    // Writes the window's project as it is now; Silent nonzero shows neither outcome.
    void saveProjectFile(const QString &path, qint16 Silent);

    // The folder of the project file last opened or saved in the window; empty after New and
    // before the first. The show's "%CurDir" names are looked for there too.
    [[nodiscard]] QString projectDirectory() const { return m_projectDirectory; }
    // That project file's name without its folder.
    [[nodiscard]] QString projectFileName() const { return m_projectFileName; }

private:
    void rememberProjectFile(const QString &pathText);
    void letEventsRun();

    Main &m_window;
    MessageBoxService &m_messages;
    EventPump *m_events;
    CommonDialog CD3; // the Open and Save dialog of projects
    QString m_projectDirectory;
    QString m_projectFileName;
};
