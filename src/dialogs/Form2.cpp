#include "dialogs/Form2.h"

#include "dialogs/DirectoryListBox.h"
#include "dialogs/DirectoryListing.h"
#include "dialogs/DriveListBox.h"
#include "dialogs/FileListBox.h"
#include "forms/FormLook.h"

#include "platform/EventPump.h"
#include "platform/MessageBoxService.h"
#include "project/PathText.h"
#include "project/ProjectLists.h"
#include "project/StorablePath.h"

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
    setFont(tahoma());
    setBackground(*this, kWindowColour);
    createControls();
    openStartDirectory();
    centreOnScreen(*this);
}

void Form2::createControls()
{
    Controls &f = m_form;
    f.Drive1 = place(new DriveListBox(this), "Drive1", {120, 120, 4455, 315}, tr("Drive"));
    f.Dir1 = place(new DirectoryListBox(this), "Dir1", {120, 480, 4455, 2790}, tr("Directory"));
    f.File1 = place(new FileListBox(this), "File1", {1800, 1560, 1215, 480}, tr("Matching files"));
    f.File1->hide();
    f.Command5 = place(new QPushButton(QStringLiteral("Add"), this),
                       "Command5",
                       {120, 3360, 975, 375},
                       tr("Add"),
                       QStringLiteral("Add to list"));
    f.Text2 = place(new QLineEdit(this),
                    "Text2",
                    {1200, 3480, 3375, 285},
                    tr("File pattern"),
                    QStringLiteral("Image filter"));
    f.Check2 = place(new QCheckBox(QStringLiteral("%CurDir\\ Before Each File Name"), this),
                     "Check2",
                     {120, 3840, 3135, 255},
                     tr("%CurDir before each file name"),
                     kCurDirToolTip);

    for (QWidget *list : {static_cast<QWidget *>(f.Drive1), static_cast<QWidget *>(f.Dir1)}) {
        list->setFont(tahoma(true));
        setColours(*list, kListColour, Qt::white);
    }
    f.Text2->setFont(tahoma(true));
    setColours(*f.Text2, kPatternColour, Qt::black);
    f.Check2->setFont(tahoma(true));
    condenseToFit(*f.Check2);
    setColours(*f.Check2, kWindowColour, Qt::white);
    setColours(*f.Command5, kButtonColour, Qt::black);

    setTabOrder(f.Dir1, f.Command5);
    setTabOrder(f.Command5, f.Text2);
    setTabOrder(f.Text2, f.File1);
    setTabOrder(f.File1, f.Drive1);
    setTabOrder(f.Drive1, f.Check2);

    connect(f.Drive1, &DriveListBox::driveChanged, this, &Form2::changeDrive);
    connect(f.Dir1, &DirectoryListBox::pathChanged, this, &Form2::followDirectory);
    connect(f.Dir1, &DirectoryListBox::openFailed, this, &Form2::reportUnreadable);
    connect(f.Command5, &QPushButton::clicked, this, &Form2::addToList);
    if (m_target) {
        connect(m_target, &QObject::destroyed, f.Command5, [this] {
            m_form.Command5->setEnabled(false);
        });
    } else {
        f.Command5->setEnabled(false);
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
    m_form.Text2->setText(texts.defaultPattern);
}

bool Form2::openDirectory(const QString &path)
{
    return m_form.Dir1->setPath(path);
}

void Form2::addToList()
{
    m_form.File1->setPattern(m_form.Text2->text());
    const bool imageMode = m_modeWord == u"Image";
    if (!imageMode && m_modeWord != u"Audio")
        return;

    // One snapshot of the listing: a directory opened or another "Add" run while this import
    // lets events run changes neither which files it adds nor how many.
    const QString directory = m_form.File1->path();
    const QStringList names = m_form.File1->fileNames();
    const QPointer<Form2> self(this);
    QStringList refused;
    for (const QString &name : names) {
        if (!self || m_closed || !m_target)
            return;
        const QString entry = m_form.Check2->isChecked()
                                  ? curDirPathText(name)
                                  : importEntryPath(directory, name, QDir::separator());
        if (!canStorePathText(entry, imageMode ? ProjectLineKind::Image : ProjectLineKind::Audio)) {
            refused << entry;
            continue;
        }
        // An image's two appends are one step: no events run between them.
        if (imageMode)
            m_target->lists().appendImageEntry(entry, m_target->currentPauseText());
        else
            m_target->lists().appendAudioPath(entry);
        if (m_services.events)
            m_services.events->letEventsRun();
    }
    // One message for the whole import, after it.
    if (!refused.isEmpty() && self && m_services.messages)
        m_services.messages->show(unstorableNamesMessage(refused), MessageIcon::Critical);
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
    m_form.Drive1->setDrive(driveRootOf(m_form.Dir1->path()));
    reportUnreadable(rootPath);
}

void Form2::followDirectory(const QString &path)
{
    m_form.File1->setPath(path);
    const QString drive = driveRootOf(path);
    m_directoryOfDrive.insert(drive, path);
    if (m_form.Drive1->drive() != drive)
        m_form.Drive1->setDrive(drive);
}

void Form2::reportUnreadable(const QString &path)
{
    if (m_services.messages)
        m_services.messages->show(QStringLiteral("Unable to open ") + path, MessageIcon::Critical);
}
