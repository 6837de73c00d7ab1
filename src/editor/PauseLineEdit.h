#pragma once

#include <QLineEdit>
#include <QValidator>

// Keeps the pause box's text to digits and full stops, its value at most 65.53, whatever
// changed it: typing, deleting, pasting, dropping, undo or the program.
class PauseValidator final : public QValidator
{
    Q_OBJECT

public:
    using QValidator::QValidator;

    State validate(QString &input, int &position) const override;
};

// Text1: a five-character box for a pause in seconds whose key filter discards every typed
// character but digits, the full stop and backspace.
class PauseLineEdit final : public QLineEdit
{
    Q_OBJECT

public:
    explicit PauseLineEdit(QWidget *parent = nullptr);

protected:
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
};
