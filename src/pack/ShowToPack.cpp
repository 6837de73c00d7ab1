#include "pack/ShowToPack.h"

#include "platform/NativePath.h"
#include "project/ImageEntry.h"
#include "project/ProjectReader.h"
#include "project/ProjectWriter.h"
#include "project/ShowSwitches.h"

#include <QFileInfo>

ShowToPackRead readShowToPack(const QString &projectPath, const QString &programDirectory)
{
    const ProjectFileText file = readProjectFileText(projectPath);
    if (file.error)
        return {std::nullopt, *file.error};
    ShowToPack show;
    show.folders = {programDirectory, QFileInfo(openablePath(projectPath)).absolutePath()};
    QString stretch;
    QString audio;
    forEachProjectLine(file.text, {}, [&](const ProjectLine &line, int number) {
        switch (line.kind) {
        case ProjectLineKind::Stretch:
            stretch = line.text;
            break;
        case ProjectLineKind::AudioSwitch:
            audio = line.text;
            break;
        case ProjectLineKind::Audio:
            show.music.append({line.text, number});
            break;
        case ProjectLineKind::Image:
            if (const std::optional<ImageEntry> entry = parseImageLine(line.text)) {
                show.pictures.append({entry->path, number});
                show.pauses << entry->pause;
            }
            break;
        }
    });
    show.stretch = isStretchOn(stretch) ? 1 : 0;
    show.audio = isAudioOn(audio) ? 1 : 0;
    return {show, {}};
}

ShowToPack showToPackFrom(const ProjectSnapshot &project, const CurDirFolders &folders)
{
    ShowToPack show;
    show.folders = folders;
    const qsizetype images = std::min(project.imagePaths.size(), project.pauses.size());
    int line = 1;
    for (qsizetype i = 0; i < images; ++i) {
        show.pictures.append({project.imagePaths[i], line++});
        show.pauses << project.pauses[i];
    }
    for (const QString &path : project.audioPaths)
        show.music.append({path, line++});
    show.stretch = project.stretch;
    show.audio = project.audio;
    return show;
}
