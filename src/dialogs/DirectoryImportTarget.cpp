#include "dialogs/DirectoryImportTarget.h"

DirectoryImportTarget::DirectoryImportTarget(ProjectLists &lists,
                                             PauseTextReader pauseText,
                                             QObject *parent)
    : QObject(parent)
    , m_lists(lists)
    , m_pauseText(std::move(pauseText))
{}

QString DirectoryImportTarget::currentPauseText() const
{
    return m_pauseText ? m_pauseText() : QString();
}
