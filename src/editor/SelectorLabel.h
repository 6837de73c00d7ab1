#pragma once

#include <QLabel>

// A label that selects a panel when clicked (command4, command9, command7, command8).
class SelectorLabel final : public QLabel
{
    Q_OBJECT

public:
    using QLabel::QLabel;

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
};
