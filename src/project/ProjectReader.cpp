#include "project/ProjectReader.h"

#include "platform/NativePath.h"
#include "platform/RegularFile.h"
#include "project/ImageEntry.h"
#include "project/ProjectFieldReader.h"
#include "project/ProjectLine.h"
#include "project/ProjectText.h"

#include <QFile>

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
    // A pipe would block the reader and a device such as /dev/zero never ends.
    if (const std::optional<QString> problem = notAReadableFile(path, kMaxProjectFileBytes))
        return {{}, *problem};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {{}, file.errorString()};
    // Read in pieces up to the limit, so a file that grows while it is read cannot exhaust memory.
    QByteArray bytes;
    bytes.reserve(file.size());
    QByteArray piece(64 * 1024, Qt::Uninitialized);
    qint64 got = 0;
    while ((got = file.read(piece.data(), piece.size())) > 0) {
        if (bytes.size() + got > kMaxProjectFileBytes)
            return {{}, QStringLiteral("File too large")};
        bytes.append(piece.constData(), got);
    }
    if (got < 0)
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
