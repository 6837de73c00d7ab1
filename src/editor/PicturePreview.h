#pragma once

#include <QFrame>
#include <QImage>

// An image control (Image1, Image2): shows one picture stretched over its whole box.
class PicturePreview final : public QFrame
{
    Q_OBJECT

public:
    explicit PicturePreview(QWidget *parent = nullptr);

    [[nodiscard]] QImage picture() const { return m_picture; }
    void setPicture(const QImage &picture);

    // The size in device pixels a picture should be decoded to so that it fills the box
    // without being scaled again.
    [[nodiscard]] QSize pictureBoxSize() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage m_picture;
};
