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
    // The controls the window acts on, under their designer names.
    struct Controls
    {
        QPushButton *cmdOK = nullptr;    // "OK"
        QPlainTextEdit *Text1 = nullptr; // the help text
    };
    Controls m_form;
};
