#pragma once

#include <QListView>

class TextListModel;

// A list box of texts (List1, List2, List3): not sorted, at most one selected row. It reports
// every change of its selection, whether the user or the program made it, and the mouse going
// down or moving over it.
class TextListBox final : public QListView
{
    Q_OBJECT

public:
    explicit TextListBox(QWidget *parent = nullptr);

    [[nodiscard]] int count() const;
    [[nodiscard]] QString text(int row) const;
    [[nodiscard]] QStringList texts() const;
    void appendText(const QString &text);
    bool setText(int row, const QString &text);
    bool removeRow(int row);
    void clear();

    // The selected row, or -1.
    [[nodiscard]] int selectedRow() const;
    // Selects the row, or no row for -1. Selecting the row already selected changes nothing and
    // reports nothing; false when there is no such row.
    bool setSelectedRow(int row);

signals:
    void selectedRowChanged(int row);
    void mousePressed();
    void mouseMoved();
    void rowDoubleClicked(int row);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    TextListModel *m_rows;
};
