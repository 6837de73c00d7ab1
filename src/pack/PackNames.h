#pragma once

#include <QSet>
#include <QString>

// The file name a packed copy gets, one the project format and the discs and sticks a show goes
// on can carry: characters that end a line or cannot stand in a file name on Windows (which
// also covers the pause marker " *;Pause=" and a literal "*CommA*") become "_", "%CurDir" loses
// its "%", blanks and dots at either end go, and a device name such as "con.jpg" gets a leading
// "_". A name that is fine stays as it is; an empty one becomes "file".
[[nodiscard]] QString carriableFileName(const QString &name);

// Hands out the names of one folder, none twice even when only upper and lower case differ (as
// on FAT sticks and discs): "photo.jpg", then "photo-2.jpg", "photo-3.jpg".
class FolderNames
{
public:
    // Keeps a name out of what claim() hands out.
    void reserve(const QString &name);
    [[nodiscard]] QString claim(const QString &wanted);

private:
    [[nodiscard]] bool isTaken(const QString &name) const;

    QSet<QString> m_taken; // case-folded
};
