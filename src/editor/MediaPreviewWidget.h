#pragma once

#include <QWidget>

class MediaPlayer;
class QSlider;
class QToolButton;

// The visible media player: play, pause and stop buttons with a position slider, driving a
// MediaPlayer that waits for the user instead of starting by itself.
class MediaPreviewWidget final : public QWidget
{
    Q_OBJECT

public:
    explicit MediaPreviewWidget(MediaPlayer &player, QWidget *parent = nullptr);

    [[nodiscard]] MediaPlayer &player() const { return m_player; }

private:
    void updateButtons(bool playing);

    MediaPlayer &m_player;
    QToolButton *m_play;
    QToolButton *m_pause;
    QToolButton *m_stop;
    QSlider *m_position;
    bool m_dragging = false;
};
