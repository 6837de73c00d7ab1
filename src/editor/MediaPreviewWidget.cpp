#include "editor/MediaPreviewWidget.h"

#include "sound/MediaPlayer.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSlider>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QToolButton *transportButton(QWidget *parent,
                             const QString &name,
                             QStyle::StandardPixmap icon,
                             const QString &tip)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(name);
    button->setIcon(parent->style()->standardIcon(icon));
    button->setToolTip(tip);
    button->setAccessibleName(tip);
    button->setAutoRaise(true);
    return button;
}

} // namespace

MediaPreviewWidget::MediaPreviewWidget(MediaPlayer &player, QWidget *parent)
    : QWidget(parent)
    , m_player(player)
    , m_play(transportButton(this, QStringLiteral("play"), QStyle::SP_MediaPlay, tr("Play")))
    , m_pause(transportButton(this, QStringLiteral("pause"), QStyle::SP_MediaPause, tr("Pause")))
    , m_stop(transportButton(this, QStringLiteral("stop"), QStyle::SP_MediaStop, tr("Stop")))
    , m_position(new QSlider(Qt::Horizontal, this))
    , m_failure(new QLabel(tr("Cannot play this file"), this))
{
    m_player.setAutoStart(false);
    m_position->setObjectName(QStringLiteral("position"));
    m_position->setAccessibleName(tr("Position"));
    m_position->setRange(0, 0);
    m_failure->setObjectName(QStringLiteral("failure"));
    m_failure->setAccessibleName(m_failure->text());
    m_failure->hide();

    auto *buttons = new QHBoxLayout;
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->addWidget(m_play);
    buttons->addWidget(m_pause);
    buttons->addWidget(m_stop);
    buttons->addSpacing(4);
    buttons->addWidget(m_failure);
    buttons->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(0);
    layout->addWidget(m_position);
    layout->addLayout(buttons);

    connect(m_play, &QToolButton::clicked, &m_player, &MediaPlayer::play);
    connect(m_pause, &QToolButton::clicked, &m_player, &MediaPlayer::pause);
    connect(m_stop, &QToolButton::clicked, &m_player, &MediaPlayer::stop);
    connect(&m_player, &MediaPlayer::durationChanged, this, [this](qint64 duration) {
        m_position->setRange(0, static_cast<int>(std::min<qint64>(duration, INT_MAX)));
    });
    connect(&m_player, &MediaPlayer::positionChanged, this, [this](qint64 position) {
        if (!m_dragging)
            m_position->setValue(static_cast<int>(std::min<qint64>(position, INT_MAX)));
    });
    connect(m_position, &QSlider::sliderPressed, this, [this] { m_dragging = true; });
    connect(m_position, &QSlider::sliderReleased, this, [this] {
        m_dragging = false;
        m_player.setPosition(m_position->value());
    });
    connect(&m_player, &MediaPlayer::playingChanged, this, &MediaPreviewWidget::updateButtons);
    connect(&m_player, &MediaPlayer::failed, this, &MediaPreviewWidget::showFailure);
    connect(&m_player, &MediaPlayer::fileNameChanged, this, &MediaPreviewWidget::clearFailure);
    updateButtons(false);
}

void MediaPreviewWidget::updateButtons(bool playing)
{
    m_play->setEnabled(!playing && !m_failed);
    m_pause->setEnabled(playing);
}

// Shown once for the file, however many errors the player reports about it.
void MediaPreviewWidget::showFailure(const QString &description)
{
    m_failed = true;
    m_failure->setToolTip(description);
    m_failure->show();
    updateButtons(false);
}

void MediaPreviewWidget::clearFailure()
{
    m_failed = false;
    m_failure->hide();
    updateButtons(m_player.isPlaying());
}
