#include "dialogs/FileNamePattern.h"

namespace {

QList<uint> foldedCodePoints(QStringView text)
{
    return text.toString().toCaseFolded().toUcs4();
}

} // namespace

FileNamePattern::FileNamePattern(QStringView patternText)
{
    for (QStringView part : patternText.split(u';')) {
        part = part.trimmed();
        if (part.isEmpty())
            continue;
        if (part == u"*.*")
            part = u"*";
        m_parts.append(foldedCodePoints(part));
    }
}

bool FileNamePattern::matches(QStringView fileName) const
{
    if (m_parts.isEmpty())
        return false;
    const QList<uint> name = foldedCodePoints(fileName);
    for (const QList<uint> &part : m_parts) {
        if (wildcardMatches(part, name))
            return true;
    }
    return false;
}

bool wildcardMatches(const QList<uint> &wildcard, const QList<uint> &name)
{
    // Greedy scan that backtracks only to the last "*": linear for the usual patterns.
    qsizetype w = 0;
    qsizetype n = 0;
    qsizetype starAt = -1;
    qsizetype nameAtStar = 0;
    while (n < name.size()) {
        if (w < wildcard.size() && wildcard[w] == uint(u'*')) {
            starAt = w++;
            nameAtStar = n;
        } else if (w < wildcard.size() && (wildcard[w] == uint(u'?') || wildcard[w] == name[n])) {
            ++w;
            ++n;
        } else if (starAt >= 0) {
            w = starAt + 1;
            n = ++nameAtStar;
        } else {
            return false;
        }
    }
    while (w < wildcard.size() && wildcard[w] == uint(u'*'))
        ++w;
    return w == wildcard.size();
}
