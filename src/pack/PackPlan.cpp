#include "pack/PackPlan.h"

#include "pack/PackNames.h"
#include "pack/ShowToPack.h"
#include "project/PathText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <numeric>

namespace {

// Why a file cannot be copied, or nothing when it can.
std::optional<QString> unreadableReason(const QFileInfo &info)
{
    if (!info.exists())
        return QStringLiteral("not found");
    // A folder, a pipe or a device is not a picture or a tune, and a pipe would never end.
    if (!info.isFile())
        return QStringLiteral("not a file");
    QFile file(info.absoluteFilePath());
    if (!file.open(QIODevice::ReadOnly))
        return file.errorString();
    return std::nullopt;
}

// Works through the show's files in order, handing each distinct file one packed name.
class PackPlanner
{
public:
    PackPlanner(const CurDirFolders &folders, PackPlan &plan, FolderNames &names)
        : m_folders(folders)
        , m_plan(plan)
        , m_names(names)
    {}

    // The packed path text for a file named on the line; empty when it cannot be packed.
    QString packedPathText(const NamedFile &file)
    {
        const QFileInfo info(resolveShowPath(file.pathText, m_folders));
        if (const std::optional<QString> reason = unreadableReason(info)) {
            m_plan.problems.append(
                {file.line, QDir::toNativeSeparators(info.absoluteFilePath()), *reason});
            return {};
        }
        // Two texts for one file ("%CurDir\a.jpg" and its full path) copy it once.
        const QString identity = info.canonicalFilePath();
        auto known = m_packedNames.constFind(identity);
        if (known == m_packedNames.cend()) {
            const QString name = m_names.claim(carriableFileName(info.fileName()));
            m_plan.files.append({info.absoluteFilePath(), name, info.size()});
            known = m_packedNames.insert(identity, name);
        }
        return curDirPathText(*known);
    }

private:
    const CurDirFolders &m_folders;
    PackPlan &m_plan;
    FolderNames &m_names;
    QHash<QString, QString> m_packedNames; // canonical source path -> packed name
};

} // namespace

qint64 PackPlan::totalBytes() const
{
    return std::accumulate(files.cbegin(), files.cend(), qint64(0), [](qint64 sum, const auto &f) {
        return sum + f.size;
    });
}

PackPlan planPack(const ShowToPack &show, const PackOptions &options)
{
    PackPlan plan;
    plan.projectName = carriableFileName(options.projectName);
    plan.autorunProgram = options.autorunProgram;
    FolderNames names;
    names.reserve(plan.projectName);
    if (plan.autorunProgram)
        names.reserve(kAutorunFileName);

    PackPlanner planner(show.folders, plan, names);
    for (qsizetype i = 0; i < show.pictures.size(); ++i) {
        // A picture line without a path adds nothing in any reader.
        if (show.pictures[i].pathText.isEmpty())
            continue;
        plan.project.imagePaths << planner.packedPathText(show.pictures[i]);
        plan.project.pauses << show.pauses.value(i);
    }
    for (const NamedFile &music : show.music) {
        // An empty music line names no file; it stays as it was.
        plan.project.audioPaths << (music.pathText.isEmpty() ? QString()
                                                             : planner.packedPathText(music));
    }
    plan.project.stretch = show.stretch;
    plan.project.audio = show.audio;
    return plan;
}

QStringList problemLines(const PackPlan &plan)
{
    QStringList lines;
    for (const PackProblem &problem : plan.problems) {
        lines << QStringLiteral("line %1: %2 (%3)")
                     .arg(problem.line)
                     .arg(problem.path, problem.reason);
    }
    return lines;
}
