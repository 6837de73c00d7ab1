#pragma once

#include "project/ProjectLine.h"

#include <QString>

#include <optional>

class CommonDialog;
class MessageBoxService;

// What the Add buttons of the image and audio lists ask: one file in the Open dialog with this
// filter and title, stored as "%CurDir\" and its name when the list's check box says so, else by
// its full native path.
struct FileToAddRequest
{
    QString filter;
    QString title;
    bool curDirForm = false;
    ProjectLineKind kind = ProjectLineKind::Image;
};

// The path text to append; nothing when the dialog is cancelled, or when a project file could not
// store the name, which the user is told.
[[nodiscard]] std::optional<QString> chooseFileToAdd(CommonDialog &dialog,
                                                     const FileToAddRequest &request,
                                                     MessageBoxService &messages);
