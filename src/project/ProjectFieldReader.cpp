#include "project/ProjectFieldReader.h"

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

bool isLineEnd(QChar c)
{
    return c == u'\r' || c == u'\n';
}

} // namespace

ProjectFieldReader::ProjectFieldReader(QStringView text)
    : m_text(text)
{}

std::optional<QString> ProjectFieldReader::next()
{
    const qsizetype size = m_text.size();
    if (m_position >= size)
        return std::nullopt;

    while (m_position < size && isBlank(m_text[m_position]))
        ++m_position;
    m_valueLine = m_line;

    if (m_position < size && m_text[m_position] == u'"') {
        // A quoted value ends at its closing quote, or at the line end when the quote is never
        // closed: a path never spans lines, and the writer could not save one that did.
        const qsizetype start = m_position + 1;
        qsizetype close = start;
        while (close < size && m_text[close] != u'"' && !isLineEnd(m_text[close]))
            ++close;
        m_position = close;
        const QString value = m_text.sliced(start, close - start).toString();
        if (m_position < size && m_text[m_position] == u'"')
            ++m_position;
        skipToEndOfValue();
        return value;
    }

    const qsizetype start = m_position;
    while (m_position < size && m_text[m_position] != u',' && !isLineEnd(m_text[m_position]))
        ++m_position;
    const QString value = m_text.sliced(start, m_position - start).toString();
    skipToEndOfValue();
    return value;
}

// Consumes everything up to and including the comma or line end that closes the current value.
void ProjectFieldReader::skipToEndOfValue()
{
    const qsizetype size = m_text.size();
    while (m_position < size && m_text[m_position] != u',' && !isLineEnd(m_text[m_position]))
        ++m_position;
    if (m_position >= size)
        return;
    const QChar end = m_text[m_position++];
    if (end != u',')
        ++m_line;
    if (end == u'\r' && m_position < size && m_text[m_position] == u'\n')
        ++m_position;
}
