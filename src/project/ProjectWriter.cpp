#include "project/ProjectWriter.h"

#include "platform/NativePath.h"
#include "project/PathText.h"
#include "project/ProjectLine.h"
#include "project/ProjectText.h"

#include <QIODevice>

namespace {

constexpr QLatin1StringView kLineEnd{"\r\n"};

QString switchLineText(QLatin1StringView prefix, int value)
{
    return prefix + QString::number(value);
}

QByteArray lineBytes(const QString &line)
{
    QByteArray bytes = encodeProjectText(line);
    bytes += "\r\n";
    return bytes;
}

// Hands every line of the file, in order, to writeLine (which answers false to stop), letting
// events run after each image and audio line and once before the switch lines.
template<typename WriteLine>
bool writeProjectLines(const ProjectSnapshot &project,
                       WriteLine &&writeLine,
                       const LetEventsRun &letEventsRun)
{
    const auto yield = [&letEventsRun] {
        if (letEventsRun)
            letEventsRun();
    };
    const qsizetype images = std::min(project.imagePaths.size(), project.pauses.size());
    for (qsizetype i = 0; i < images; ++i) {
        if (!writeLine(imageLineText(project.imagePaths[i], project.pauses[i])))
            return false;
        yield();
    }
    for (const QString &path : project.audioPaths) {
        if (!writeLine(audioLineText(path)))
            return false;
        yield();
    }
    yield();
    return writeLine(switchLineText(kStretchPrefix, project.stretch))
           && writeLine(switchLineText(kAudioSwitchPrefix, project.audio));
}

} // namespace

QString imageLineText(const QString &path, const QString &pause)
{
    return escapeCommas(path) + kPauseMarker + pause;
}

QString audioLineText(const QString &path)
{
    return kAudioPrefix + escapeCommas(path);
}

QByteArray projectFileBytes(const ProjectSnapshot &project)
{
    QByteArray bytes;
    writeProjectLines(project,
                      [&bytes](const QString &line) {
                          bytes += lineBytes(line);
                          return true;
                      },
                      {});
    return bytes;
}

SaveResult writeProjectFile(const QString &pathText,
                            const ProjectSnapshot &project,
                            const LetEventsRun &letEventsRun)
{
    return saveFileAtomically(openablePath(pathText), [&](QIODevice &file) {
        return writeProjectLines(
            project,
            [&file](const QString &line) {
                const QByteArray bytes = lineBytes(line);
                return file.write(bytes) == bytes.size();
            },
            letEventsRun);
    });
}

SaveNotice saveNoticeFor(const SaveResult &result)
{
    if (result.saved)
        return {SaveNoticeKind::Saved, QStringLiteral("Project saved")};
    return {SaveNoticeKind::Failed,
            QStringLiteral("Unable to save project") + kLineEnd + result.errorDescription};
}

std::optional<SaveNotice> SaveProject(const QString &pathText,
                                      const ProjectSnapshot &project,
                                      qint16 Silent,
                                      const LetEventsRun &letEventsRun)
{
    const SaveResult result = writeProjectFile(pathText, project, letEventsRun);
    if (Silent != 0)
        return std::nullopt;
    return saveNoticeFor(result);
}
