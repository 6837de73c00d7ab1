#include "dialogs/PackOptionsDialog.h"

#include "forms/FormLook.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

PackOptionsDialog::PackOptionsDialog(const QString &targetFolder,
                                     const PackOptions &start,
                                     QWidget *parent)
    : QDialog(parent)
    , m_projectName(new QLineEdit(start.projectName, this))
    , m_writeAutorun(new QCheckBox(QStringLiteral("Write Autorun.inf starting"), this))
    , m_autorunProgram(new QLineEdit(start.autorunProgram.value_or(kDefaultAutorunProgram), this))
{
    setObjectName(QStringLiteral("PackOptions"));
    setWindowTitle(QStringLiteral("Pack Show"));
    setFont(tahoma());
    m_projectName->setObjectName(QStringLiteral("ProjectName"));
    m_projectName->setMinimumWidth(240);
    m_writeAutorun->setObjectName(QStringLiteral("WriteAutorun"));
    m_writeAutorun->setChecked(start.autorunProgram.has_value());
    m_autorunProgram->setObjectName(QStringLiteral("AutorunProgram"));
    m_autorunProgram->setToolTip(QStringLiteral("The player the disc starts with the project"));

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    m_pack = buttons->addButton(QStringLiteral("Pack"), QDialogButtonBox::AcceptRole);
    m_pack->setObjectName(QStringLiteral("Pack"));
    m_pack->setDefault(true);

    auto *layout = new QFormLayout(this);
    layout->addRow(QStringLiteral("Folder"), new QLabel(QDir::toNativeSeparators(targetFolder)));
    layout->addRow(QStringLiteral("Project name"), m_projectName);
    layout->addRow(m_writeAutorun, m_autorunProgram);
    layout->addRow(buttons);

    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_projectName, &QLineEdit::textChanged, this, &PackOptionsDialog::updateButtons);
    connect(m_autorunProgram, &QLineEdit::textChanged, this, &PackOptionsDialog::updateButtons);
    connect(m_writeAutorun, &QCheckBox::toggled, this, &PackOptionsDialog::updateButtons);
    updateButtons();
}

PackOptions PackOptionsDialog::options() const
{
    PackOptions chosen;
    chosen.projectName = m_projectName->text().trimmed();
    if (m_writeAutorun->isChecked())
        chosen.autorunProgram = m_autorunProgram->text().trimmed();
    return chosen;
}

// A project needs a name, and an Autorun.inf a player to start.
void PackOptionsDialog::updateButtons()
{
    m_autorunProgram->setEnabled(m_writeAutorun->isChecked());
    m_pack->setEnabled(
        !m_projectName->text().trimmed().isEmpty()
        && (!m_writeAutorun->isChecked() || !m_autorunProgram->text().trimmed().isEmpty()));
}
