#include "pack/PackJob.h"

#include "pack/PackPlan.h"
#include "platform/FileCopy.h"
#include "platform/FileSystemPath.h"
#include "platform/NativePath.h"
#include "project/AutorunFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRandomGenerator>

#include <filesystem>

namespace {

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

QString describe(const std::error_code &error)
{
    return QString::fromLocal8Bit(error.message());
}

PackOutcome failed(const QString &detail)
{
    return {PackOutcome::Kind::Failed, {detail}};
}

QString absoluteTarget(const QString &targetFolder)
{
    return QDir::cleanPath(QFileInfo(openablePath(targetFolder)).absoluteFilePath());
}

// A hidden folder to write into before the show is put in place, made as mkdir makes folders,
// so the packed folder gets the permissions the user's folders usually get.
std::optional<QString> makeWorkFolder(const QString &parent, const QString &label, QString &error)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString name = QStringLiteral(".%1.packing-%2")
                                 .arg(label)
                                 .arg(QRandomGenerator::global()->bounded(0x1000000),
                                      6,
                                      16,
                                      QChar(u'0'));
        const QString path = QDir(parent).filePath(name);
        std::error_code code;
        if (std::filesystem::create_directory(filesystemPath(path), code))
            return path;
        if (code) {
            error = describe(code);
            return std::nullopt;
        }
    }
    error = QStringLiteral("no free name for a work folder");
    return std::nullopt;
}

// Writes the plan's files, project and Autorun.inf into the work folder, reporting progress.
class PackWriter
{
public:
    PackWriter(const PackPlan &plan, QString workFolder, const PackControl &control)
        : m_plan(plan)
        , m_work(std::move(workFolder))
        , m_control(control)
    {
        m_progress.filesTotal = static_cast<int>(plan.files.size());
        m_progress.bytesTotal = plan.totalBytes();
    }

    PackOutcome write()
    {
        report();
        for (const PackFile &file : m_plan.files) {
            if (cancelled())
                return {PackOutcome::Kind::Cancelled, {}};
            const CopyResult copy = copyFileInChunks(file.source,
                                                     pathOf(file.packedName),
                                                     [this](qint64 bytes) {
                                                         m_progress.bytesDone += bytes;
                                                         report();
                                                         return !cancelled();
                                                     });
            if (copy.kind == CopyResult::Kind::Stopped)
                return {PackOutcome::Kind::Cancelled, {}};
            if (copy.kind == CopyResult::Kind::Failed)
                return failed(
                    QStringLiteral("Could not copy %1 (%2)").arg(native(file.source), copy.error));
            ++m_progress.filesDone;
            report();
        }
        if (cancelled())
            return {PackOutcome::Kind::Cancelled, {}};
        const SaveResult project = writeProjectFile(pathOf(m_plan.projectName), m_plan.project);
        if (!project.saved)
            return failed(couldNotWrite(m_plan.projectName, project.errorDescription));
        if (m_plan.autorunProgram) {
            QFile autorun(pathOf(kAutorunFileName));
            const QByteArray bytes = autorunFileContent(*m_plan.autorunProgram, m_plan.projectName);
            if (!autorun.open(QIODevice::WriteOnly | QIODevice::NewOnly)
                || autorun.write(bytes) != bytes.size() || !autorun.flush()) {
                return failed(couldNotWrite(kAutorunFileName, autorun.errorString()));
            }
        }
        return {};
    }

private:
    [[nodiscard]] QString pathOf(const QString &name) const { return QDir(m_work).filePath(name); }
    [[nodiscard]] bool cancelled() const { return m_control.cancel && m_control.cancel->load(); }
    void report() const
    {
        if (m_control.progress)
            m_control.progress(m_progress);
    }
    static QString couldNotWrite(const QString &name, const QString &error)
    {
        return QStringLiteral("Could not write %1 (%2)").arg(name, error);
    }

    const PackPlan &m_plan;
    QString m_work;
    const PackControl &m_control;
    PackProgress m_progress;
};

// Moves what the work folder holds up into the existing empty target, or nothing at all.
PackOutcome moveContentInto(const QString &work, const QString &target)
{
    const QStringList names = QDir(work).entryList(QDir::AllEntries | QDir::Hidden | QDir::System
                                                   | QDir::NoDotAndDotDot);
    QStringList moved;
    for (const QString &name : names) {
        QFile entry(QDir(work).filePath(name));
        if (!entry.rename(QDir(target).filePath(name))) {
            for (const QString &back : std::as_const(moved))
                QFile::rename(QDir(target).filePath(back), QDir(work).filePath(back));
            return failed(QStringLiteral("Could not move %1 into %2 (%3)")
                              .arg(name, native(target), entry.errorString()));
        }
        moved << name;
    }
    QDir().rmdir(work);
    return {};
}

} // namespace

QString dataSizeText(qint64 bytes)
{
    return QLocale::c().formattedDataSize(bytes, 1, QLocale::DataSizeTraditionalFormat);
}

QString progressText(const PackProgress &progress)
{
    return QStringLiteral("%1 of %2 files, %3 of %4")
        .arg(progress.filesDone)
        .arg(progress.filesTotal)
        .arg(dataSizeText(progress.bytesDone), dataSizeText(progress.bytesTotal));
}

QString outcomeText(const PackOutcome &outcome, const QString &targetFolder, const QString &lineEnd)
{
    switch (outcome.kind) {
    case PackOutcome::Kind::Packed:
        return QStringLiteral("Show packed to ") + native(absoluteTarget(targetFolder));
    case PackOutcome::Kind::Cancelled:
        return {};
    case PackOutcome::Kind::Refused:
    case PackOutcome::Kind::Failed:
        break;
    }
    return QStringLiteral("Unable to pack show") + lineEnd + outcome.details.join(lineEnd);
}

std::optional<QString> packTargetRefusal(const QString &targetFolder)
{
    if (targetFolder.trimmed().isEmpty())
        return QStringLiteral("No folder given to pack the show into.");
    const QString target = absoluteTarget(targetFolder);
    const QFileInfo info(target);
    if (info.exists() || info.isSymLink()) {
        if (!info.isDir())
            return QStringLiteral("%1 is not a folder.").arg(native(target));
        if (!QDir(target).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System
                                  | QDir::NoDotAndDotDot)) {
            return QStringLiteral("The folder %1 is not empty. Choose a new or empty folder.")
                .arg(native(target));
        }
        return std::nullopt;
    }
    if (!QFileInfo(info.absolutePath()).isDir())
        return QStringLiteral("The folder %1, in which %2 would be made, does not exist.")
            .arg(native(info.absolutePath()), info.fileName());
    return std::nullopt;
}

PackOutcome packShow(const PackPlan &plan, const QString &targetFolder, const PackControl &control)
{
    if (!plan.problems.isEmpty())
        return {PackOutcome::Kind::Refused, problemLines(plan)};
    if (const std::optional<QString> refusal = packTargetRefusal(targetFolder))
        return {PackOutcome::Kind::Refused, {*refusal}};

    const QString target = absoluteTarget(targetFolder);
    // An existing folder may be a mount point (a stick's root) that cannot be replaced, in a
    // parent the user cannot write: then the work folder goes inside it.
    const bool intoExisting = QFileInfo(target).isDir();
    const QString workParent = intoExisting ? target : QFileInfo(target).absolutePath();
    QString error;
    const std::optional<QString> work = makeWorkFolder(workParent,
                                                       QFileInfo(target).fileName(),
                                                       error);
    if (!work) {
        return {PackOutcome::Kind::Refused,
                {QStringLiteral("Cannot write in %1 (%2)").arg(native(workParent), error)}};
    }

    PackOutcome outcome = PackWriter(plan, *work, control).write();
    if (outcome.kind == PackOutcome::Kind::Packed) {
        if (intoExisting) {
            outcome = moveContentInto(*work, target);
        } else {
            std::error_code code;
            std::filesystem::rename(filesystemPath(*work), filesystemPath(target), code);
            if (code)
                outcome = failed(QStringLiteral("Could not move the packed show to %1 (%2)")
                                     .arg(native(target), describe(code)));
        }
    }
    if (outcome.kind != PackOutcome::Kind::Packed)
        QDir(*work).removeRecursively();
    return outcome;
}
