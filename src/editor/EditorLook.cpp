#include "editor/EditorLook.h"

namespace EditorLook {

QIcon windowIcon()
{
    QIcon icon;
    for (const int size : {16, 32, 48, 64})
        icon.addFile(QStringLiteral(":/icons/vistelle-%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace EditorLook
