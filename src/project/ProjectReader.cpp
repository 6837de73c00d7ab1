#include "ProjectReader.h"

#include "ImageEntry.h"
#include "NativePath.h"
#include "PathText.h"
#include "ProjectFieldReader.h"
#include "ProjectLine.h"
#include "ProjectText.h"

#include <QFile>
#include <QFileInfo>

void forEachProjectLine(QStringView text,
                        const ProjectReadOptions &options,
                        const std::function<void(const ProjectLine &line, int lineNumber)> &visit)
{
    ProjectFieldReader reader(text);
    while (std::optional<QString> value = reader.next()) {
        QString line = unescapeCommas(std::move(*value));
        if (options.curDirectory)
            line = resolveCurDir(std::move(line), *options.curDirectory);
        visit(classifyProjectValue(line), reader.lineNumber());
    }
}

ProjectSwitchValues readProjectText(QStringView text,
                                    ProjectLists &lists,
                                    const ProjectReadOptions &options)
{
    ProjectSwitchValues switches;
    forEachProjectLine(text, options, [&](const ProjectLine &line, int) {
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

ProjectFileRead readProjectFile(const QString &pathText,
                                ProjectLists &lists,
                                const ProjectReadOptions &options)
{
    ProjectFileRead result;
    const QString path = openablePath(pathText);
    QFile file(path);
    // QFile opens a directory on some systems; reading it is never what the user meant.
    if (QFileInfo(path).isDir()) {
        result.error = QStringLiteral("Is a directory");
        return result;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = file.errorString();
        return result;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        result.error = file.errorString();
        return result;
    }
    file.close();
    const QString text = decodeProjectText(bytes);
    result.switches = readProjectText(text, lists, options);
    return result;
}

ProjectSwitchValues LoadProject(const QString &pathText,
                                ProjectLists &lists,
                                const LetEventsRun &letEventsRun)
{
    return readProjectFile(pathText, lists, {std::nullopt, letEventsRun}).switches;
}

ProjectFileRead LoadShow(const QString &pathText,
                         ProjectLists &lists,
                         const QString &programDirectory,
                         const LetEventsRun &letEventsRun)
{
    return readProjectFile(pathText, lists, {curDirText(programDirectory), letEventsRun});
}
