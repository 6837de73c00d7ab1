#include "project/ProjectReader.h"

#include "platform/NativePath.h"
#include "project/ImageEntry.h"
#include "project/ProjectFieldReader.h"
#include "project/ProjectLine.h"
#include "project/ProjectText.h"

#include <QFile>
#include <QFileInfo>

void forEachProjectLine(QStringView text,
                        const std::function<void(const ProjectLine &line, int lineNumber)> &visit)
{
    ProjectFieldReader reader(text);
    while (std::optional<QString> value = reader.next()) {
        visit(classifyProjectValue(unescapeCommas(std::move(*value))), reader.lineNumber());
    }
}

ProjectSwitchValues readProjectText(QStringView text,
                                    ProjectLists &lists,
                                    const ProjectReadOptions &options)
{
    ProjectSwitchValues switches;
    forEachProjectLine(text, [&](const ProjectLine &line, int) {
        switch (line.kind) {
        case ProjectLineKind::Stretch:
            switches.stretch = line.text;
            break;
        case ProjectLineKind::AudioSwitch:
            switches.audio = line.text;
            break;
        case ProjectLineKind::Audio:
            lists.appendAudioPath(line.text);
            break;
        case ProjectLineKind::Image:
            AddImageEntry(lists, line.text);
            if (options.letEventsRun)
                options.letEventsRun();
            break;
        }
    });
    return switches;
}

ProjectFileText readProjectFileText(const QString &pathText)
{
    const QString path = openablePath(pathText);
    // QFile opens a directory on some systems; reading it is never what the user meant.
    if (QFileInfo(path).isDir())
        return {{}, QStringLiteral("Is a directory")};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {{}, file.errorString()};
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return {{}, file.errorString()};
    file.close();
    return {decodeProjectText(bytes), std::nullopt};
}

ProjectFileRead readProjectFile(const QString &pathText,
                                ProjectLists &lists,
                                const ProjectReadOptions &options)
{
    const ProjectFileText file = readProjectFileText(pathText);
    if (file.error)
        return {{}, file.error};
    return {readProjectText(file.text, lists, options), std::nullopt};
}

ProjectSwitchValues LoadProject(const QString &pathText,
                                ProjectLists &lists,
                                const LetEventsRun &letEventsRun)
{
    return readProjectFile(pathText, lists, {letEventsRun}).switches;
}

ProjectFileRead LoadShow(const QString &pathText,
                         ProjectLists &lists,
                         const LetEventsRun &letEventsRun)
{
    return readProjectFile(pathText, lists, {letEventsRun});
}
