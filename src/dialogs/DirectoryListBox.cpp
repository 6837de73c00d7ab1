#include "dialogs/DirectoryListBox.h"

#include "dialogs/DirectoryListing.h"

#include <QDir>
#include <QKeyEvent>
#include <QStyle>
#include <QStyledItemDelegate>

namespace {

constexpr int kIndentPixels = 12;

// Shifts each row right by its depth, as a classic directory list draws its tree.
class IndentingDelegate final : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter,
               const QStyleOptionViewItem &option,
               const QModelIndex &index) const override
    {
        QStyleOptionViewItem indented(option);
        indented.rect.setLeft(option.rect.left() + indent(index));
        QStyledItemDelegate::paint(painter, indented, index);
    }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        return QStyledItemDelegate::sizeHint(option, index) + QSize(indent(index), 0);
    }

private:
    static int indent(const QModelIndex &index)
    {
        return index.data(DirectoryListBox::LevelRole).toInt() * kIndentPixels;
    }
};

QString rowText(const QString &directoryPath)
{
    const QString name = QDir(directoryPath).dirName();
    return name.isEmpty() || QDir(directoryPath).isRoot() ? directoryPath : name;
}

} // namespace

DirectoryListBox::DirectoryListBox(QWidget *parent)
    : QListWidget(parent)
{
    setItemDelegate(new IndentingDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    connect(this, &QListWidget::itemActivated, this, [this](QListWidgetItem *item) {
        openRow(row(item));
    });
}

bool DirectoryListBox::setPath(const QString &path)
{
    if (!isOpenableDirectory(path))
        return false;
    const QString opened = displayDirectoryPath(path);
    const bool changed = opened != m_path;
    m_path = opened;
    fillRows();
    if (changed)
        emit pathChanged(m_path);
    return true;
}

QString DirectoryListBox::pathAt(int row) const
{
    const QListWidgetItem *rowItem = item(row);
    return rowItem ? rowItem->data(PathRole).toString() : QString();
}

void DirectoryListBox::keyPressEvent(QKeyEvent *event)
{
    // Opens the highlighted row on Enter, whatever the style thinks activation keys are.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        openRow(currentRow());
        event->accept();
        return;
    }
    QListWidget::keyPressEvent(event);
}

void DirectoryListBox::openRow(int row)
{
    const QString wanted = pathAt(row);
    if (wanted.isEmpty())
        return;
    if (!setPath(wanted))
        emit openFailed(wanted);
}

void DirectoryListBox::fillRows()
{
    clear();
    const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);
    const QStringList chain = directoryChain(m_path);
    for (int level = 0; level < chain.size(); ++level) {
        auto *rowItem = new QListWidgetItem(openIcon, rowText(chain[level]), this);
        rowItem->setData(PathRole, chain[level]);
        rowItem->setData(LevelRole, level);
    }
    const int openRowIndex = count() - 1;
    const QStringList subdirectories = subdirectoryNames(m_path);
    for (const QString &name : subdirectories) {
        auto *rowItem = new QListWidgetItem(closedIcon, name, this);
        rowItem->setData(PathRole, displayDirectoryPath(QDir(m_path).filePath(name)));
        rowItem->setData(LevelRole, chain.size());
    }
    setCurrentRow(openRowIndex);
}
