#include "export/ExportShow.h"

#include "platform/NativePath.h"
#include "project/ProjectReader.h"
#include "project/ProjectText.h"
#include "project/ProjectWriter.h"

#include <QFileInfo>

ShowListing exportShowFromText(QStringView projectText, const CurDirFolders &folders)
{
    return listShow(projectText, [&folders](const QString &pathText) {
        return resolveShowPath(pathText, folders);
    });
}

ShowListing exportShowFromSnapshot(const ProjectSnapshot &project, const CurDirFolders &folders)
{
    return exportShowFromText(decodeProjectText(projectFileBytes(project)), folders);
}

ExportShowRead readExportShow(const QString &projectPath, const QString &programDirectory)
{
    const ProjectFileText file = readProjectFileText(projectPath);
    if (file.error)
        return {{}, file.error};
    const QString projectDirectory = QFileInfo(openablePath(projectPath)).absolutePath();
    return {exportShowFromText(file.text, {programDirectory, projectDirectory}), std::nullopt};
}
