#pragma once

#include <QAbstractListModel>
#include <QStringList>

// The rows of one list control, as plain texts. Rows appended between two passes of the event
// loop reach the views as one insertion, so appending a long project stays fast; count() and
// text() always see every row at once.
class TextListModel final : public QAbstractListModel
{
    Q_OBJECT

public:
    using QAbstractListModel::QAbstractListModel;

    [[nodiscard]] int rowCount(const QModelIndex &parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override;

    [[nodiscard]] int count() const { return static_cast<int>(m_rows.size()); }
    [[nodiscard]] QString text(int row) const;
    [[nodiscard]] const QStringList &texts() const { return m_rows; }

    void append(const QString &text);
    // False when there is no such row.
    bool setText(int row, const QString &text);
    bool removeRow(int row);
    void clear();

    // Tells the views about the rows appended since the last time.
    void showPendingRows();

private:
    QStringList m_rows;
    int m_shownRows = 0; // the rows the views know about
    bool m_showQueued = false;
};
