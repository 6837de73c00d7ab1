#include "player/Form1.h"

#include "picture/PictureLoader.h"
#include "platform/EventPump.h"
#include "platform/MessageBoxService.h"
#include "player/AudioPlaylist.h"
#include "player/ImageSequence.h"
#include "player/PictureArea.h"
#include "player/PictureGeometry.h"
#include "player/PlayerCommandLine.h"
#include "player/ShowSettings.h"
#include "project/ProjectFiles.h"
#include "project/ProjectReader.h"
#include "sound/MediaPlayer.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>

namespace {

// Design sizes, 15 twips to the pixel: the window's client area 14625 x 15360 twips, the
// picture area 10815 x 9735.
constexpr QSize kDesignWindowSize{975, 1024};
constexpr QSize kDesignPictureAreaSize{721, 649};

} // namespace

Form1::Form1(const PlatformServices &services, PlayerSetup setup, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
    , m_services(services)
    , m_setup(std::move(setup))
    , m_showFolders{m_setup.programDirectory, m_setup.projectDirectory}
    , CD1(*services.files)
    , m_form{new PictureArea(this), services.createMusicPlayer(this)}
    , m_sequence(new ImageSequence([this](const QString &path) { return showPicture(path); }, this))
    , m_audio(new AudioPlaylist(
          *m_form.MP1, [this](const QString &path) { return fileFor(path); }, this))
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Form1"));
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
    setAutoFillBackground(true);
    resize(kDesignWindowSize);

    m_form.Image1->setObjectName(QStringLiteral("Image1"));
    m_form.Image1->setGeometry(QRect(QPoint(0, 0), kDesignPictureAreaSize));
    m_form.Image1->hide();

    m_form.MP1->setObjectName(QStringLiteral("MP1"));
    m_form.MP1->setAutoStart(true);
    m_form.MP1->setVolume(kPlaybackVolume);

    m_sequence->setObjectName(QStringLiteral("imageSequence"));
    m_audio->setObjectName(QStringLiteral("audioPlaylist"));
    connect(m_sequence, &ImageSequence::failed, this, &Form1::reportPictureFailure);
}

Form1::~Form1()
{
    stopShow();
}

bool Form1::start()
{
    const std::optional<QString> path = projectPath();
    if (!path) {
        endShow(false);
        return false;
    }
    if (!LoadShow(*path))
        return false;
    coverScreen();
    return true;
}

std::optional<QString> Form1::projectPath()
{
    if (m_setup.variant == PlayerVariant::TestRun) {
        if (!m_setup.testRunProjectPath.isEmpty())
            return m_setup.testRunProjectPath;
        return testRunProjectPath(m_setup.programDirectory);
    }
    const PlayerCommand command = parsePlayerCommandLine(m_setup.argumentText);
    if (command.kind != PlayerCommandKind::ChooseProject)
        return command.projectPath;
    CD1.setFilter(kProjectFilter);
    if (!CD1.showOpen())
        return std::nullopt;
    return CD1.fileName();
}

bool Form1::LoadShow(const QString &pathText)
{
    // A show on a stick or in any folder finds its "%CurDir" files beside its project file.
    if (m_setup.variant == PlayerVariant::Showvale)
        m_showFolders.projectDirectory = folderOfFile(pathText);
    const ProjectFileRead read = ::LoadShow(pathText, *this, [this] { letEventsRun(); });
    if (read.error) {
        hide();
        m_services.messages->show(*read.error, MessageIcon::Critical);
        endShow(true);
        return false;
    }
    m_stretchSetting = read.switches.stretch.value_or(QString());
    m_audioSetting = read.switches.audio.value_or(QString());
    StartShow();
    return true;
}

void Form1::StartShow()
{
    // The music starts here, a second before the first picture.
    m_audio->start(isAudioOn(m_audioSetting));
    letEventsRun();
    m_sequence->start();
}

// Without a window manager a full-screen request alone leaves the window at its own size, so it
// is first placed over the whole screen from the top left corner.
void Form1::coverScreen()
{
    QScreen *target = screen() ? screen() : QGuiApplication::primaryScreen();
    if (target)
        setGeometry(target->geometry());
    showFullScreen();
}

QString Form1::fileFor(const QString &pathText) const
{
    return resolveShowPath(pathText, m_showFolders);
}

bool Form1::showPicture(const QString &pathText)
{
    const PictureFit fit = isStretchOn(m_stretchSetting) ? PictureFit::Stretch
                                                         : PictureFit::NaturalSize;
    // The picture on screen stays there while the next one loads, as nothing paints meanwhile,
    // so it is let go first and two are never held at once. A missing file keeps it, to stay
    // behind the message that ends the show.
    const QString file = fileFor(pathText);
    if (QFileInfo(file).isFile())
        m_form.Image1->releasePicture();
    std::optional<LoadedPicture>
        picture = m_services.pictures->load(file,
                                            pictureRequestFor(size(), fit, devicePixelRatioF()));
    if (!picture)
        return false;
    const QRect area = pictureAreaRect(picture->naturalSize, size(), fit);
    m_form.Image1->showPicture(std::move(*picture), area, fit);
    m_form.Image1->show();
    return true;
}

QString Form1::pictureFailureText() const
{
    return m_setup.variant == PlayerVariant::TestRun
               ? QStringLiteral("ERROR: Unable to test project")
               : QStringLiteral("ERROR: Cannot read file");
}

// The sequence has stopped its timers already, so no second message follows while this one is up.
void Form1::reportPictureFailure()
{
    if (m_ended)
        return;
    // In front of the show: a box of its own may open behind a full-screen window where the
    // desktop prevents focus stealing, leaving a frozen picture and no message.
    m_services.messages->show(pictureFailureText(), MessageIcon::Critical, this);
    endShow(true);
}

void Form1::mousePressEvent(QMouseEvent *event)
{
    // Presses on the picture area arrive here too: it leaves mouse events to the window.
    if (event->button() == Qt::LeftButton)
        m_leftPressed = true;
}

void Form1::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !m_leftPressed)
        return;
    m_leftPressed = false;
    endShow(false);
}

void Form1::closeEvent(QCloseEvent *event)
{
    stopShow();
    if (!m_ended) {
        m_ended = true;
        emit ended(false);
    }
    event->accept();
}

void Form1::endShow(bool failed)
{
    if (m_ended)
        return;
    m_ended = true;
    stopShow();
    close();
    emit ended(failed);
}

void Form1::stopShow()
{
    m_sequence->stop();
    m_audio->stop();
}

void Form1::letEventsRun()
{
    if (m_services.events)
        m_services.events->letEventsRun();
}

void Form1::appendImageEntry(const QString &path, const QString &pause)
{
    m_sequence->appendImage(path, pause);
}

void Form1::appendAudioPath(const QString &path)
{
    m_audio->appendPath(path);
}
