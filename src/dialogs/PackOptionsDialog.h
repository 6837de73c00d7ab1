#pragma once

#include "pack/PackPlan.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;

// Asks what a packed show is called and whether an Autorun.inf should start it, and with which
// player. The folder it goes to is shown above for reference.
class PackOptionsDialog final : public QDialog
{
    Q_OBJECT

public:
    PackOptionsDialog(const QString &targetFolder, const PackOptions &start, QWidget *parent);

    [[nodiscard]] PackOptions options() const;

private:
    void updateButtons();

    QLineEdit *m_projectName;
    QCheckBox *m_writeAutorun;
    QLineEdit *m_autorunProgram;
    QPushButton *m_pack;
};
