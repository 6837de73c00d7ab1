#pragma once

#include "platform/CommonDialog.h"
#include "project/ProjectLists.h"

#include <QtGlobal>

class AudioListPanel;
class EventPump;
class ImageListPanel;
class MessageBoxService;
class QCheckBox;
class QLineEdit;
struct PlatformServices;
struct ProjectSnapshot;

// The controls besides the two lists that a project sets and New resets.
struct ProjectControls
{
    QLineEdit &pauseBox;         // Text1: the pause that new image entries get
    QLineEdit &audioPathDisplay; // Text2
    QCheckBox &stretchImages;    // Check1
    QCheckBox &enableAudio;      // Check2
};

// New, Open and Save on the editor's lists and controls; a loaded project and the directory
// import append to the lists through it. CD3 is the one file dialog of Open and Save, so each
// offers the name chosen last in either.
class ProjectCommands final : public ProjectLists
{
public:
    ProjectCommands(ImageListPanel &images,
                    AudioListPanel &audio,
                    ProjectControls controls,
                    const PlatformServices &services);

    // Empties the lists, turns both switches off and resets the pause box, the audio path display
    // and the preview; the image path display and the audio preview player stay as they are.
    void newProject();
    // Asks for a project file and appends its content to the lists.
    void openProject();
    // Asks for a file name and writes the project to it.
    void saveProject();

    // Appends the file's entries to the lists. A switch is turned on only by a value of exactly
    // "1" and never turned off; a file that cannot be read ends the load without a word.
    void loadProjectFile(const QString &path);
    // Writes the project as it is now; Silent nonzero shows neither outcome.
    void saveProjectFile(const QString &path, qint16 Silent);

    // A copy of the lists and the two switches, taken at once.
    [[nodiscard]] ProjectSnapshot snapshot() const;

    void appendImageEntry(const QString &path, const QString &pause) override;
    void appendAudioPath(const QString &path) override;

    // The folder of the project file last opened or saved in the window; empty after New and
    // before the first. The show's "%CurDir" names are looked for there too.
    [[nodiscard]] QString projectDirectory() const { return m_projectDirectory; }
    // That project file's name without its folder.
    [[nodiscard]] QString projectFileName() const { return m_projectFileName; }

private:
    void rememberProjectFile(const QString &pathText);
    void letEventsRun();

    ImageListPanel &m_images;
    AudioListPanel &m_audio;
    ProjectControls m_controls;
    MessageBoxService &m_messages;
    EventPump *m_events;
    CommonDialog CD3; // the Open and Save dialog of projects
    QString m_projectDirectory;
    QString m_projectFileName;
};
