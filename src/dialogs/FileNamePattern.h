#pragma once

#include <QList>
#include <QString>
#include <QStringView>

// A file list's pattern: wildcards with "*" and "?", several separated by ";", matched without
// regard to case as on Windows. "*.*" matches every name, also one without a dot. A pattern with
// no wildcard text at all matches nothing.
class FileNamePattern
{
public:
    FileNamePattern() = default;
    explicit FileNamePattern(QStringView patternText);

    [[nodiscard]] bool matches(QStringView fileName) const;
    [[nodiscard]] bool isEmpty() const { return m_parts.isEmpty(); }

private:
    QList<QList<uint>> m_parts; // case-folded code points of each wildcard
};

// One wildcard against one name, both already case-folded.
[[nodiscard]] bool wildcardMatches(const QList<uint> &wildcard, const QList<uint> &name);
