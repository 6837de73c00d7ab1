#include "editor/PauseField.h"

namespace {

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Blanks and line ends alike, as a number's reading skips them.
bool isSpaceOrLineEnd(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

} // namespace

bool isPauseKeyAccepted(QChar typed)
{
    return typed == u'.' || typed == u'\b' || isAsciiDigit(typed);
}

QString pauseCharactersOnly(QStringView text)
{
    QString kept;
    kept.reserve(text.size());
    for (const QChar c : text) {
        if (c == u'.' || isAsciiDigit(c))
            kept.append(c);
    }
    return kept;
}

bool exceedsMaximumPause(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && isSpaceOrLineEnd(text[i]))
        ++i;
    // Whole seconds without leading zeros, then the fraction's digits.
    QString whole;
    QString fraction;
    bool pointSeen = false;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'.' && !pointSeen) {
            pointSeen = true;
        } else if (!isAsciiDigit(c)) {
            break;
        } else if (pointSeen) {
            fraction.append(c);
        } else if (!whole.isEmpty() || c != u'0') {
            whole.append(c);
        }
    }
    if (whole.size() != 2)
        return whole.size() > 2;
    if (whole != u"65")
        return QStringView(whole).compare(u"65") > 0; // two digits: text order is number order
    // 65 and a fraction: above .53 exactly when the fraction's digits, padded with zeros to a
    // common length, compare greater.
    QString limit = QStringLiteral("53");
    const qsizetype length = std::max(fraction.size(), limit.size());
    fraction = fraction.leftJustified(length, u'0');
    limit = limit.leftJustified(length, u'0');
    return fraction > limit;
}
