#include "player/ShowCheck.h"

#include "picture/PictureLoader.h"
#include "player/ShowSettings.h"
#include "project/PathText.h"
#include "project/ProjectReader.h"
#include "project/ShowListing.h"

#include <QFile>
#include <QFileInfo>

namespace {

// A file the media player could at least open: it exists, is a file and can be read.
std::optional<QString> audioOpenProblem(const QString &path)
{
    if (path.isEmpty())
        return QStringLiteral("no file named");
    const QFileInfo info(path);
    if (!info.exists())
        return QStringLiteral("not found");
    if (!info.isFile())
        return QStringLiteral("not a file");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return file.errorString();
    return std::nullopt;
}

QString kindText(ShowProblem::Kind kind)
{
    switch (kind) {
    case ShowProblem::Kind::UnreadableProject:
        return QStringLiteral("the project cannot be read");
    case ShowProblem::Kind::NoPictures:
        return QStringLiteral("the project has no pictures; the show would end with an error "
                              "one second after it starts");
    case ShowProblem::Kind::MissingPicture:
        return QStringLiteral("picture not found");
    case ShowProblem::Kind::UndecodablePicture:
        return QStringLiteral("picture cannot be decoded");
    case ShowProblem::Kind::UnusableColourProfile:
        return QStringLiteral("picture carries a colour profile that cannot be used; it is shown "
                              "without it");
    case ShowProblem::Kind::PauseOutOfRange:
        return QStringLiteral("pause outside 0 to 65 seconds");
    case ShowProblem::Kind::UnplayableAudio:
        return QStringLiteral("audio file cannot be opened");
    }
    return {};
}

} // namespace

bool ShowCheckReport::showWouldFail() const
{
    return std::any_of(problems.cbegin(), problems.cend(), [](const ShowProblem &problem) {
        return problem.endsShow();
    });
}

ShowCheckReport checkShow(const QString &projectPath,
                          const QString &programDirectory,
                          PictureLoader &pictures,
                          QSize screenSize)
{
    ShowCheckReport report;
    const ProjectFileText file = readProjectFileText(projectPath);
    if (file.error) {
        report.problems.append(
            {ShowProblem::Kind::UnreadableProject, 0, nativePath(projectPath), *file.error});
        return report;
    }
    // Files are looked for where the player looks, and named as the system names them.
    const CurDirFolders folders{programDirectory, folderOfFile(projectPath)};
    const ShowListing show = listShow(file.text, [&folders](const QString &pathText) {
        return resolveShowPath(pathText, folders);
    });
    report.pictures = static_cast<int>(show.pictures.size());
    report.audioFiles = static_cast<int>(show.music.size());
    report.stretched = show.stretched;
    report.musicOn = show.musicOn;
    if (show.pictures.isEmpty())
        report.problems.append({ShowProblem::Kind::NoPictures, 0, {}, {}});

    const PictureRequest request{screenSize,
                                 report.stretched ? PictureFit::Stretch : PictureFit::NaturalSize};
    for (const ListedPicture &entry : show.pictures) {
        const QFileInfo info(entry.path);
        if (!info.isFile()) {
            report.problems.append({ShowProblem::Kind::MissingPicture, entry.line, entry.path, {}});
        } else if (const std::optional<LoadedPicture> loaded = pictures.load(entry.path, request);
                   !loaded) {
            report.problems.append(
                {ShowProblem::Kind::UndecodablePicture, entry.line, entry.path, {}});
        } else if (loaded->colours == PictureColours::ProfileUnusable) {
            report.problems.append(
                {ShowProblem::Kind::UnusableColourProfile, entry.line, entry.path, {}});
        }
        if (!timerIntervalForPause(entry.pause)) {
            report.problems.append({ShowProblem::Kind::PauseOutOfRange,
                                    entry.line,
                                    entry.path,
                                    QStringLiteral("%1 seconds").arg(entry.pause)});
        }
    }
    if (report.musicOn) {
        for (const ListedMusic &music : show.music) {
            if (const auto why = audioOpenProblem(music.path))
                report.problems.append(
                    {ShowProblem::Kind::UnplayableAudio, music.line, music.path, *why});
        }
    }
    return report;
}

QString showProblemText(const ShowProblem &problem)
{
    QString line = problem.line > 0 ? QStringLiteral("line %1: ").arg(problem.line) : QString();
    line += kindText(problem.kind);
    if (!problem.path.isEmpty() && problem.kind != ShowProblem::Kind::UnreadableProject)
        line += QStringLiteral(": ") + problem.path;
    if (!problem.detail.isEmpty())
        line += QStringLiteral(" (%1)").arg(problem.detail);
    return line;
}

QString formatShowCheckReport(const QString &projectPath, const ShowCheckReport &report)
{
    QString out = QStringLiteral("%1: %2 picture(s), %3, %4 audio file(s), music %5\n")
                      .arg(nativePath(projectPath))
                      .arg(report.pictures)
                      .arg(report.stretched ? QStringLiteral("stretched")
                                            : QStringLiteral("natural size"))
                      .arg(report.audioFiles)
                      .arg(report.musicOn ? QStringLiteral("on") : QStringLiteral("off"));
    for (const ShowProblem &problem : report.problems)
        out += showProblemText(problem) + u'\n';
    if (report.showWouldFail())
        out += QStringLiteral("The show would end with an error.\n");
    else if (!report.problems.isEmpty())
        out += QStringLiteral("The pictures would play; some music would be skipped.\n");
    else
        out += QStringLiteral("No problems found.\n");
    return out;
}
