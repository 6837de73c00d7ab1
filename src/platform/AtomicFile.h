#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

class QIODevice;

struct SaveResult
{
    bool saved = false;
    QString errorDescription; // the system's words when saving failed
};

// Replaces the file at the path whole or not at all: what write() writes goes to a new file that
// takes the old one's place only once it is complete, so a failed write leaves the old file as it
// was. Where the folder allows no new file but the file may be written, it is written in place.
// write() answers false to give up.
SaveResult saveFileAtomically(const QString &path, const std::function<bool(QIODevice &)> &write);
SaveResult saveFileAtomically(const QString &path, const QByteArray &content);
