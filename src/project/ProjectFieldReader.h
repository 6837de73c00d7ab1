#pragma once

#include <QString>
#include <QStringView>

#include <optional>

// Cuts project file text into values: a value ends at a comma or a line end (CR LF, LF or a
// lone CR); blanks before a value are skipped; a value that starts with a double quote runs to
// the next double quote (or the line end), and what follows the closing quote up to the comma or
// line end is dropped. An empty line gives an empty value.
class ProjectFieldReader
{
public:
    explicit ProjectFieldReader(QStringView text);

    // The next value, or nothing once the end of the text has been reached.
    [[nodiscard]] std::optional<QString> next();
    // The line, counted from 1, on which the value last returned began.
    [[nodiscard]] int lineNumber() const { return m_valueLine; }

private:
    void skipToEndOfValue();

    QStringView m_text;
    qsizetype m_position = 0;
    int m_line = 1;
    int m_valueLine = 1;
};
