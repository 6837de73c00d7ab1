#include "pack/ShowToPack.h"

#include "platform/NativePath.h"
#include "project/ProjectReader.h"
#include "project/ProjectWriter.h"
#include "project/ShowListing.h"

#include <QFileInfo>

ShowToPackRead readShowToPack(const QString &projectPath, const QString &programDirectory)
{
    const ProjectFileText file = readProjectFileText(projectPath);
    if (file.error)
        return {std::nullopt, *file.error};
    ShowToPack show;
    show.folders = {programDirectory, QFileInfo(openablePath(projectPath)).absolutePath()};
    // The paths stay as the project holds them: the pack resolves them itself.
    const ShowListing listed = listShow(file.text, [](const QString &pathText) { return pathText; });
    for (const ListedPicture &picture : listed.pictures) {
        show.pictures.append({picture.path, picture.line});
        show.pauses << picture.pause;
    }
    for (const ListedMusic &music : listed.music)
        show.music.append({music.path, music.line});
    show.stretch = listed.stretched ? 1 : 0;
    show.audio = listed.musicOn ? 1 : 0;
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
