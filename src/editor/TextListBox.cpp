#include "editor/TextListBox.h"

#include "editor/TextListModel.h"

TextListBox::TextListBox(QWidget *parent)
    : QListView(parent)
    , m_rows(new TextListModel(this))
{
    setModel(m_rows);
    // One row height for all rows keeps scrolling and layout independent of the row count.
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setMouseTracking(true);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        emit selectedRowChanged(selectedRow());
    });
    connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &index) {
        emit rowDoubleClicked(index.row());
    });
}

int TextListBox::count() const
{
    return m_rows->count();
}

QString TextListBox::text(int row) const
{
    return m_rows->text(row);
}

QStringList TextListBox::texts() const
{
    return m_rows->texts();
}

void TextListBox::appendText(const QString &text)
{
    m_rows->append(text);
}

bool TextListBox::setText(int row, const QString &text)
{
    return m_rows->setText(row, text);
}

bool TextListBox::removeRow(int row)
{
    return m_rows->removeRow(row);
}

void TextListBox::clear()
{
    m_rows->clear();
}

int TextListBox::selectedRow() const
{
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.front().row();
}

bool TextListBox::setSelectedRow(int row)
{
    if (row < -1 || row >= count())
        return false;
    if (row == selectedRow())
        return true;
    if (row == -1) {
        selectionModel()->clearSelection();
        return true;
    }
    m_rows->showPendingRows();
    selectionModel()->setCurrentIndex(m_rows->index(row), QItemSelectionModel::ClearAndSelect);
    return true;
}

void TextListBox::mousePressEvent(QMouseEvent *event)
{
    QListView::mousePressEvent(event);
    emit mousePressed();
}

void TextListBox::mouseMoveEvent(QMouseEvent *event)
{
    QListView::mouseMoveEvent(event);
    emit mouseMoved();
}
