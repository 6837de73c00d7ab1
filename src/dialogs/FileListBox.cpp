#include "dialogs/FileListBox.h"

#include "dialogs/DirectoryListing.h"

namespace {

const QString kEveryFile = QStringLiteral("*.*");

} // namespace

FileListBox::FileListBox(QWidget *parent)
    : QListWidget(parent)
    , m_patternText(kEveryFile)
    , m_pattern(kEveryFile)
{
    setUniformItemSizes(true);
}

void FileListBox::setPath(const QString &path)
{
    m_path = path;
    refresh();
}

void FileListBox::setPattern(const QString &patternText)
{
    m_patternText = patternText;
    m_pattern = FileNamePattern(patternText);
    refresh();
}

void FileListBox::refresh()
{
    m_names = m_path.isEmpty() ? QStringList() : matchingFileNames(m_path, m_pattern);
    clear();
    addItems(m_names);
}
