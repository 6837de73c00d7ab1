#pragma once

#include <QObject>
#include <QString>

#include <functional>

class ProjectLists;

// The editor's lists and pause box as the directory import sees them, and no more. Give it the
// editor window as parent: when that window is gone, so is the target, and an import stops.
class DirectoryImportTarget final : public QObject
{
    Q_OBJECT

public:
    using PauseTextReader = std::function<QString()>;

    DirectoryImportTarget(ProjectLists &lists, PauseTextReader pauseText, QObject *parent);

    [[nodiscard]] ProjectLists &lists() const { return m_lists; }
    // The pause box's text now; read again for every imported image.
    [[nodiscard]] QString currentPauseText() const;

private:
    ProjectLists &m_lists;
    PauseTextReader m_pauseText;
};
