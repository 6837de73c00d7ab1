#include "dialogs/Form3.h"

#include "forms/FormLook.h"
#include "platform/AtomicFile.h"
#include "platform/EventPump.h"
#include "platform/MessageBoxService.h"
#include "platform/NativePath.h"
#include "platform/UserFolders.h"
#include "project/PathText.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

namespace {

const QColor kWindowColour = colourFromBgr(0x800000);
const QColor kFieldColour = colourFromBgr(0xFFC0C0);
const QColor kButtonColour = colourFromBgr(0xC0C0C0);

} // namespace

QString autorunFilePath(const QString &directory)
{
    return QDir(directory).filePath(QStringLiteral("Autorun.inf"));
}

Form3::Form3(const PlatformServices &services,
             QString programDirectory,
             std::function<QString()> projectDirectory)
    : QWidget(nullptr,
              Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                  | Qt::WindowCloseButtonHint)
    , m_services(services)
    , m_programDirectory(std::move(programDirectory))
    , m_projectDirectory(std::move(projectDirectory))
    , m_saveDialog(*services.files)
{
    setObjectName(QStringLiteral("Form3"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Auto Runner"));
    setFixedSize(twipsSize(4680, 1335));
    setFont(tahoma());
    setBackground(*this, kWindowColour);
    createControls();
    centreOnScreen(*this);
}

void Form3::createControls()
{
    auto *label4 = place(new QLabel(QStringLiteral("Showvale"), this),
                         "Label4",
                         {120, 120, 1575, 255},
                         tr("Showvale label"),
                         QStringLiteral("Showvale's path"));
    m_form.Text2 = place(new QLineEdit(QStringLiteral("Vistelle.exe"), this),
                         "Text2",
                         {1800, 120, 2775, 285},
                         tr("Showvale's path"));
    auto *label1 = place(new QLabel(QStringLiteral("Project Name"), this),
                         "Label1",
                         {120, 480, 1575, 255},
                         tr("Project name label"),
                         QStringLiteral("Project's path"));
    m_form.Text1 = place(new QLineEdit(QStringLiteral("slide.ssp"), this),
                         "Text1",
                         {1800, 480, 2775, 285},
                         tr("Project name"));
    auto *command14 = place(new QPushButton(QStringLiteral("Compile"), this),
                            "Command14",
                            {120, 840, 975, 375},
                            tr("Compile"),
                            QStringLiteral("Make Autorun.inf"));
    auto *command1 = place(new QPushButton(QStringLiteral("Help"), this),
                           "Command1",
                           {3600, 840, 975, 375},
                           tr("Help"),
                           QStringLiteral("Make Autorun.inf"));
    auto *command2 = place(new QPushButton(QStringLiteral("Cancel"), this),
                           "Command2",
                           {1200, 840, 975, 375},
                           tr("Cancel"),
                           QStringLiteral("Exit this form"));

    for (QLabel *label : {label4, label1}) {
        label->setFont(tahoma(true));
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        setTextColour(*label, Qt::white);
    }
    for (QLineEdit *field : {m_form.Text2, m_form.Text1}) {
        field->setFont(tahoma(true));
        setColours(*field, kFieldColour, Qt::black);
    }
    for (QPushButton *button : {command14, command1, command2}) {
        // Enter and Escape mean nothing here: no button is the default.
        button->setAutoDefault(false);
        setColours(*button, kButtonColour, Qt::black);
    }

    setTabOrder(m_form.Text2, m_form.Text1);
    setTabOrder(m_form.Text1, command14);
    setTabOrder(command14, command1);
    setTabOrder(command1, command2);

    connect(command14, &QPushButton::clicked, this, &Form3::BuildAutorun);
    connect(command1, &QPushButton::clicked, this, &Form3::showHelp);
    connect(command2, &QPushButton::clicked, this, &QWidget::close);
}

void Form3::BuildAutorun()
{
    QString path = autorunFilePath(m_programDirectory);
    QString savedText = QStringLiteral("Autorun.inf saved to this program's directory");
    if (!userMayWriteIn(m_programDirectory)) {
        const std::optional<QString> chosen = chooseAutorunPath();
        if (!chosen)
            return;
        path = *chosen;
        savedText = QStringLiteral("Autorun.inf saved to ") + folderOfFile(path);
    }
    const QByteArray content = autorunFileContent(m_form.Text2->text(), m_form.Text1->text());
    const bool saved = saveFileAtomically(openablePath(path), content).saved;
    const QPointer<Form3> self(this);
    if (saved) {
        if (m_services.events)
            m_services.events->letEventsRun();
        if (self && m_services.messages)
            m_services.messages->show(savedText, MessageIcon::Information);
    } else if (m_services.messages) {
        m_services.messages->show(QStringLiteral("Unable to save Autorun.inf"),
                                  MessageIcon::Critical);
    }
    if (self)
        close();
}

std::optional<QString> Form3::chooseAutorunPath()
{
    QString startFolder = m_projectDirectory ? m_projectDirectory() : QString();
    if (startFolder.isEmpty())
        startFolder = QDir::homePath();
    m_saveDialog.setFilter(QStringLiteral("Autorun files|*.inf"));
    m_saveDialog.setDialogTitle(QStringLiteral("Save Autorun.inf"));
    m_saveDialog.setFileName(QDir::toNativeSeparators(autorunFilePath(startFolder)));
    if (!m_saveDialog.showSave())
        return std::nullopt;
    return m_saveDialog.fileName();
}

void Form3::showHelp()
{
    if (m_services.messages) {
        m_services.messages
            ->show(QStringLiteral("Save the compiled Autorun.inf to your compact disc directory\r\n"
                                  "Example: Save it directly to D:\\ or E:\\ Dont save it under a "
                                  "sub-directory in the disc."),
                   MessageIcon::None);
    }
}
