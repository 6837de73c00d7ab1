#include "pack/PackNames.h"

#include "project/ProjectLine.h"

#include <QFileInfo>
#include <QStringList>

namespace {

bool cannotStandInAName(QChar c)
{
    return c.unicode() < 0x20 || c.unicode() == 0x7F || QStringView(u"<>:\"/\\|?*").contains(c);
}

bool isDeviceName(const QString &name)
{
    static const QStringList devices{QStringLiteral("CON"),
                                     QStringLiteral("PRN"),
                                     QStringLiteral("AUX"),
                                     QStringLiteral("NUL")};
    const QString stem = name.section(u'.', 0, 0).trimmed().toUpper();
    if (devices.contains(stem))
        return true;
    return stem.size() == 4 && (stem.startsWith(u"COM") || stem.startsWith(u"LPT"))
           && stem.back() >= u'1' && stem.back() <= u'9';
}

} // namespace

QString carriableFileName(const QString &name)
{
    QString carried = name;
    for (QChar &c : carried) {
        if (cannotStandInAName(c))
            c = u'_';
    }
    carried.replace(kCurDirPlaceholder, QStringLiteral("_CurDir"));
    qsizetype start = 0;
    while (start < carried.size() && carried[start] == u' ')
        ++start;
    qsizetype end = carried.size();
    while (end > start && (carried[end - 1] == u' ' || carried[end - 1] == u'.'))
        --end;
    carried = carried.sliced(start, end - start);
    if (carried.isEmpty())
        return QStringLiteral("file");
    if (isDeviceName(carried))
        carried.prepend(u'_');
    return carried;
}

void FolderNames::reserve(const QString &name)
{
    m_taken.insert(name.toCaseFolded());
}

bool FolderNames::isTaken(const QString &name) const
{
    return m_taken.contains(name.toCaseFolded());
}

QString FolderNames::claim(const QString &wanted)
{
    QString name = wanted;
    if (isTaken(name)) {
        // "photo.jpg" becomes "photo-2.jpg"; a name without a suffix just gets the number.
        const QFileInfo parts(wanted);
        const QString suffix = parts.suffix();
        const QString stem = suffix.isEmpty() ? wanted : parts.completeBaseName();
        for (int number = 2; isTaken(name); ++number) {
            name = stem + u'-' + QString::number(number);
            if (!suffix.isEmpty())
                name += u'.' + suffix;
        }
    }
    reserve(name);
    return name;
}
