#pragma once

#include <QDialog>
#include <QString>

class QPlainTextEdit;
class QPushButton;

// The help window: a fixed text about the editor. Edits to the text are lost on closing, and the
// next opening shows the text as designed.
class frmTip final : public QDialog
{
    Q_OBJECT

public:
    // A window of its own (no parent) that deletes itself when closed.
    frmTip();

    // The help text, lines separated by CR LF.
    [[nodiscard]] static QString helpText();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPushButton *m_cmdOK = nullptr;
    QPlainTextEdit *m_text1 = nullptr;
};
