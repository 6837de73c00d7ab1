#pragma once

#include <QWidget>

class MediaPlayer;
class QLabel;
class QSlider;
class QToolButton;

// The visible media player: play, pause and stop buttons with a position slider, driving a
// MediaPlayer that waits for the user instead of starting by itself. A file it cannot play says
// so beside the buttons until another file is given.
class MediaPreviewWidget final : public QWidget
{
    Q_OBJECT

public:
    explicit MediaPreviewWidget(MediaPlayer &player, QWidget *parent = nullptr);

    [[nodiscard]] MediaPlayer &player() const { return m_player; }

private:
    void updateButtons(bool playing);
    void showFailure(const QString &description);
    void clearFailure();

    MediaPlayer &m_player;
    QToolButton *m_play;
    QToolButton *m_pause;
    QToolButton *m_stop;
    QSlider *m_position;
    QLabel *m_failure;
    bool m_dragging = false;
    bool m_failed = false;
};
