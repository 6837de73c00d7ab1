#include "editor/TextListModel.h"

int TextListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_shownRows;
}

QVariant TextListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_shownRows)
        return {};
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole || role == Qt::AccessibleTextRole)
        return m_rows.at(index.row());
    return {};
}

QString TextListModel::text(int row) const
{
    return row >= 0 && row < count() ? m_rows.at(row) : QString();
}

void TextListModel::append(const QString &text)
{
    m_rows.append(text);
    if (!m_showQueued) {
        m_showQueued = true;
        QMetaObject::invokeMethod(this, &TextListModel::showPendingRows, Qt::QueuedConnection);
    }
}

bool TextListModel::setText(int row, const QString &text)
{
    if (row < 0 || row >= count())
        return false;
    m_rows[row] = text;
    if (row < m_shownRows) {
        const QModelIndex changed = index(row);
        emit dataChanged(changed, changed);
    }
    return true;
}

bool TextListModel::removeRow(int row)
{
    if (row < 0 || row >= count())
        return false;
    showPendingRows();
    beginRemoveRows({}, row, row);
    m_rows.removeAt(row);
    m_shownRows = count();
    endRemoveRows();
    return true;
}

void TextListModel::clear()
{
    beginResetModel();
    m_rows.clear();
    m_shownRows = 0;
    endResetModel();
}

void TextListModel::showPendingRows()
{
    m_showQueued = false;
    if (m_shownRows == count())
        return;
    beginInsertRows({}, m_shownRows, count() - 1);
    m_shownRows = count();
    endInsertRows();
}
