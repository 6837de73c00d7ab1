#include "dialogs/Form2.h"

#include "dialogs/DialogLook.h"
#include "dialogs/DirectoryListBox.h"
#include "dialogs/DirectoryListing.h"
#include "dialogs/DriveListBox.h"
#include "dialogs/FileListBox.h"

#include "platform/EventPump.h"
#include "platform/MessageBoxService.h"
#include "project/ProjectLists.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>

namespace {

constexpr QColor kWindowColour(0, 192, 192);
constexpr QColor kListColour(0, 128, 128);
constexpr QColor kPatternColour(192, 255, 255);
constexpr QColor kButtonColour(192, 192, 192);
const QString kCurDirTip = QStringLiteral(
    "%CurDir is replaced with the Showvale's current directory. Useful for making a slide show "
    "on a compact disc");

template<typename Control>
Control *placed(Control *control, const char *name, const QString &accessibleName, QRect geometry)
{
    control->setObjectName(QLatin1String(name));
    control->setAccessibleName(accessibleName);
    control->setGeometry(geometry);
    return control;
}

} // namespace

ImportModeTexts importModeTexts(ImportMode mode)
{
    if (mode == ImportMode::Image) {
        return {QStringLiteral("Image"),
                QStringLiteral("Select Directory - Image Files"),
                QStringLiteral("*.jpg;*.jpeg;*.bmp;*.gif;*.dib;*.tif;*.tiff")};
    }
    return {QStringLiteral("Audio"),
            QStringLiteral("Select Directory - Audio Files"),
            QStringLiteral("*.wmv;*.wma;*.mp3;*.mid;*.wav;*.mpg;*.mpeg;*.avi")};
}

Form2::Form2(const PlatformServices &services, DirectoryImportTarget *target)
    : QWidget(nullptr,
              Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                  | Qt::WindowCloseButtonHint)
    , m_services(services)
    , m_target(target)
{
    setObjectName(QStringLiteral("Form2"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Select directory - "));
    setFixedSize(twipsSize(4680, 4200));
    setDialogFont(this);
    setBackground(this, kWindowColour);
    createControls();
    openStartDirectory();
    centreOnScreen(this);
}

void Form2::createControls()
{
    m_drive1 = placed(new DriveListBox(this), "Drive1", tr("Drive"), twipsRect(120, 120, 4455, 315));
    m_dir1 = placed(new DirectoryListBox(this),
                    "Dir1",
                    tr("Directory"),
                    twipsRect(120, 480, 4455, 2790));
    m_file1 = placed(new FileListBox(this),
                     "File1",
                     tr("Matching files"),
                     twipsRect(1800, 1560, 1215, 480));
    m_file1->hide();
    m_command5 = placed(new QPushButton(QStringLiteral("Add"), this),
                        "Command5",
                        tr("Add"),
                        twipsRect(120, 3360, 975, 375));
    m_command5->setToolTip(QStringLiteral("Add to list"));
    m_text2 = placed(new QLineEdit(this),
                     "Text2",
                     tr("File pattern"),
                     twipsRect(1200, 3480, 3375, 285));
    m_text2->setToolTip(QStringLiteral("Image filter"));
    m_check2 = placed(new QCheckBox(QStringLiteral("%CurDir\\ Before Each File Name"), this),
                      "Check2",
                      tr("%CurDir before each file name"),
                      twipsRect(120, 3840, 3135, 255));
    m_check2->setToolTip(kCurDirTip);

    for (QWidget *list : {static_cast<QWidget *>(m_drive1), static_cast<QWidget *>(m_dir1)}) {
        setDialogFont(list, true);
        setTextColours(list, kListColour, Qt::white);
    }
    setDialogFont(m_text2, true);
    setTextColours(m_text2, kPatternColour, Qt::black);
    setDialogFont(m_check2, true);
    setTextColours(m_check2, kWindowColour, Qt::white);
    setTextColours(m_command5, kButtonColour, Qt::black);

    setTabOrder(m_dir1, m_command5);
    setTabOrder(m_command5, m_text2);
    setTabOrder(m_text2, m_file1);
    setTabOrder(m_file1, m_drive1);
    setTabOrder(m_drive1, m_check2);

    connect(m_drive1, &DriveListBox::driveChanged, this, &Form2::changeDrive);
    connect(m_dir1, &DirectoryListBox::pathChanged, this, &Form2::followDirectory);
    connect(m_dir1, &DirectoryListBox::openFailed, this, &Form2::reportUnreadable);
    connect(m_command5, &QPushButton::clicked, this, &Form2::addToList);
    if (m_target) {
        connect(m_target, &QObject::destroyed, m_command5, [this] {
            m_command5->setEnabled(false);
        });
    } else {
        m_command5->setEnabled(false);
    }
}

void Form2::openStartDirectory()
{
    for (const QString &start : {QDir::currentPath(), QDir::homePath(), QDir::rootPath()}) {
        if (openDirectory(start))
            return;
    }
}

void Form2::setImportMode(ImportMode mode)
{
    const ImportModeTexts texts = importModeTexts(mode);
    m_modeWord = texts.word;
    setWindowTitle(texts.caption);
    m_text2->setText(texts.defaultPattern);
}

bool Form2::openDirectory(const QString &path)
{
    return m_dir1->setPath(path);
}

void Form2::addToList()
{
    m_file1->setPattern(m_text2->text());
    const bool imageMode = m_modeWord == u"Image";
    if (!imageMode && m_modeWord != u"Audio")
        return;

    // One snapshot of the listing: a directory opened or another "Add" run while this import
    // lets events run changes neither which files it adds nor how many.
    const QString directory = m_file1->path();
    const QStringList names = m_file1->fileNames();
    const QPointer<Form2> self(this);
    for (const QString &name : names) {
        if (!self || m_closed || !m_target)
            return;
        const QString entry = m_check2->isChecked()
                                  ? curDirEntryPath(name)
                                  : importEntryPath(directory, name, QDir::separator());
        // An image's two appends are one step: no events run between them.
        if (imageMode)
            m_target->lists().appendImageEntry(entry, m_target->currentPauseText());
        else
            m_target->lists().appendAudioPath(entry);
        if (m_services.events)
            m_services.events->letEventsRun();
    }
}

void Form2::closeEvent(QCloseEvent *event)
{
    m_closed = true;
    QWidget::closeEvent(event);
}

void Form2::changeDrive(const QString &rootPath)
{
    const QString current = QDir::currentPath();
    const QString startHere = m_directoryOfDrive.value(rootPath,
                                                       driveRootOf(current) == rootPath ? current
                                                                                        : rootPath);
    if (openDirectory(startHere) || openDirectory(rootPath))
        return;
    // No medium, or gone: stay where we were.
    m_drive1->setDrive(driveRootOf(m_dir1->path()));
    reportUnreadable(rootPath);
}

void Form2::followDirectory(const QString &path)
{
    m_file1->setPath(path);
    const QString drive = driveRootOf(path);
    m_directoryOfDrive.insert(drive, path);
    if (m_drive1->drive() != drive)
        m_drive1->setDrive(drive);
}

void Form2::reportUnreadable(const QString &path)
{
    if (m_services.messages)
        m_services.messages->show(QStringLiteral("Unable to open ") + path, MessageIcon::Critical);
}
