#pragma once

#include <QWidget>

// One of the four option panels: a plain area of its background colour with an etched border
// and its caption on the border's top edge, as a frame control draws it.
class PanelFrame final : public QWidget
{
    Q_OBJECT

public:
    explicit PanelFrame(const QString &title, QWidget *parent = nullptr);

    [[nodiscard]] QString title() const { return m_title; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_title;
};
