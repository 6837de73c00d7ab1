#include "platform/CommonDialog.h"

#include <QFileInfo>

QStringList qtNameFilters(const QString &filter)
{
    QStringList filters;
    const QStringList parts = filter.split(u'|');
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString &pattern : parts[i + 1].split(u';', Qt::SkipEmptyParts)) {
            const QString trimmed = pattern.trimmed();
            if (trimmed == u"*.*") {
                patterns << QStringLiteral("*");
                continue;
            }
            patterns << trimmed;
            if (trimmed.toUpper() != trimmed)
                patterns << trimmed.toUpper();
        }
        filters << QStringLiteral("%1 (%2)").arg(parts[i], patterns.join(u' '));
    }
    return filters;
}

CommonDialog::CommonDialog(FileChooser &chooser)
    : m_chooser(chooser)
{}

void CommonDialog::setFilter(const QString &filter)
{
    m_filter = filter;
}

void CommonDialog::setDialogTitle(const QString &title)
{
    m_title = title;
}

void CommonDialog::setFileName(const QString &fileName)
{
    m_fileName = fileName;
}

bool CommonDialog::showOpen()
{
    return show(FileDialogMode::Open);
}

bool CommonDialog::showSave()
{
    return show(FileDialogMode::Save);
}

bool CommonDialog::show(FileDialogMode mode)
{
    const std::optional<QString> chosen = m_chooser.chooseFile(
        {mode, m_title, qtNameFilters(m_filter), m_fileName});
    if (!chosen || chosen->isEmpty())
        return false;
    m_fileName = *chosen;
    return true;
}

QString CommonDialog::fileTitle() const
{
    return QFileInfo(m_fileName).fileName();
}
