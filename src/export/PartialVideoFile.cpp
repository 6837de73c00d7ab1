#include "export/PartialVideoFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <filesystem>
#include <system_error>

PartialVideoFile::PartialVideoFile(QString targetPath)
    : m_targetPath(std::move(targetPath))
{}

PartialVideoFile::~PartialVideoFile()
{
    if (!m_kept)
        removeLeftovers();
}

bool PartialVideoFile::create()
{
    const QFileInfo target(m_targetPath);
    if (target.isDir()) {
        m_error = QStringLiteral("%1 is a folder").arg(QDir::toNativeSeparators(m_targetPath));
        return false;
    }
    const QString stem = QStringLiteral(".%1.%2")
                             .arg(target.fileName())
                             .arg(QRandomGenerator::global()->generate(), 8, 16, QChar(u'0'));
    const QDir folder = target.absoluteDir();
    QFile partial(folder.filePath(stem + QStringLiteral(".part")));
    // A new file only: an older partial of the same name is never taken over.
    if (!partial.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        m_error = QStringLiteral("Cannot write in %1: %2")
                      .arg(QDir::toNativeSeparators(folder.absolutePath()), partial.errorString());
        return false;
    }
    partial.close();
    m_partialPath = partial.fileName();
    m_scratchPath = folder.filePath(stem + QStringLiteral(".mdat"));
    return true;
}

bool PartialVideoFile::keep()
{
    std::error_code error;
    // Replaces an existing target in one step, so a player never meets half a file.
    std::filesystem::rename(QFileInfo(m_partialPath).filesystemFilePath(),
                            QFileInfo(m_targetPath).filesystemFilePath(),
                            error);
    if (error) {
        m_error = QStringLiteral("Cannot write %1: %2")
                      .arg(QDir::toNativeSeparators(m_targetPath),
                           QString::fromLocal8Bit(error.message()));
        return false;
    }
    m_kept = true;
    QFile::remove(m_scratchPath);
    return true;
}

void PartialVideoFile::removeLeftovers()
{
    if (!m_partialPath.isEmpty())
        QFile::remove(m_partialPath);
    if (!m_scratchPath.isEmpty())
        QFile::remove(m_scratchPath);
}
