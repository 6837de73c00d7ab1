#include "editor/FileToAdd.h"

#include "platform/CommonDialog.h"
#include "platform/MessageBoxService.h"
#include "project/PathText.h"
#include "project/StorablePath.h"

#include <QDir>

std::optional<QString> chooseFileToAdd(CommonDialog &dialog,
                                       const FileToAddRequest &request,
                                       MessageBoxService &messages)
{
    dialog.setFilter(request.filter);
    dialog.setDialogTitle(request.title);
    if (!dialog.showOpen())
        return std::nullopt;
    const QString path = request.curDirForm ? curDirPathText(dialog.fileTitle())
                                            : QDir::toNativeSeparators(dialog.fileName());
    if (!canStorePathText(path, request.kind)) {
        messages.show(unstorableNamesMessage({path}), MessageIcon::Critical);
        return std::nullopt;
    }
    return path;
}
