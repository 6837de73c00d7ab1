#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class QTimer;

// The timed order of the show's pictures: a one-second start timer (Timer2), then each picture
// for its own pause (Timer1), from the first again after the last. Speaks in paths only; the
// window decides how a picture is shown.
class ImageSequence final : public QObject
{
    Q_OBJECT

public:
    // Shows the picture at the path; false when it cannot be read.
    using ShowPicture = std::function<bool(const QString &path)>;

    static constexpr int kStartDelayMs = 1000;

    explicit ImageSequence(ShowPicture showPicture, QObject *parent = nullptr);

    // One image entry: the path to List1 and its pause text to List2, together.
    void appendImage(const QString &path, const QString &pause);
    [[nodiscard]] const QStringList &List1() const { return m_paths; }
    [[nodiscard]] const QStringList &List2() const { return m_pauses; }
    // The index of the picture that ShowNextImage shows next.
    [[nodiscard]] int ImagePosition() const { return m_position; }

    // Starts from the first picture after the start delay.
    void start();
    // Stops both timers for good; nothing is shown any more.
    void stop();

    // Shows the picture due and counts its pause from now. A picture that cannot be read, a pause
    // the timer cannot count, or an empty list stops the sequence and reports failed().
    void ShowNextImage();

    // The timers' handlers, public so that a test can fire them without waiting.
    void onTimer2();
    void onTimer1();

    [[nodiscard]] QTimer *Timer1() const { return m_timer1; }
    [[nodiscard]] QTimer *Timer2() const { return m_timer2; }

signals:
    void failed();

private:
    void setTimer1Interval(int milliseconds);
    void setTimer1Enabled(bool enabled);
    void fail();

    ShowPicture m_showPicture;
    QStringList m_paths;
    QStringList m_pauses;
    int m_position = 0;
    QTimer *m_timer1;
    QTimer *m_timer2;
    bool m_timer1Enabled = false;
    bool m_stopped = false;
};
