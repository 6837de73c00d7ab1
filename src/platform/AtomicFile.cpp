#include "platform/AtomicFile.h"

#include <QSaveFile>

SaveResult saveFileAtomically(const QString &path, const std::function<bool(QIODevice &)> &write)
{
    QSaveFile file(path);
    // Where the folder lets no temporary file be made beside it but the file itself may be
    // written (a shared or installed folder), it is written in place: a save never fails where it
    // could succeed.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        return {false, file.errorString()};
    // The flush catches a write error the buffer still hides; commit() would rename a file whose
    // last write failed there as if it were whole.
    if (!write(file) || !file.flush() || !file.commit()) {
        const QString description = file.errorString();
        file.cancelWriting();
        return {false, description};
    }
    return {true, {}};
}

SaveResult saveFileAtomically(const QString &path, const QByteArray &content)
{
    return saveFileAtomically(path, [&content](QIODevice &file) {
        return file.write(content) == content.size();
    });
}
