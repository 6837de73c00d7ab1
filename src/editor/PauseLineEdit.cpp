#include "editor/PauseLineEdit.h"

#include "editor/PauseField.h"

#include <QKeyEvent>

namespace {

// A key whose character the filter discards. Keys without a character (arrows, Home, Delete)
// are editing keys and keep working.
bool isDiscardedKey(const QKeyEvent &event)
{
    const QString typed = event.text();
    if (typed.isEmpty() || event.key() == Qt::Key_Delete)
        return false;
    return typed.size() != 1 || !isPauseKeyAccepted(typed.front());
}

} // namespace

QValidator::State PauseValidator::validate(QString &input, int &position) const
{
    const QString kept = pauseCharactersOnly(input);
    if (kept.size() != input.size()) {
        position -= static_cast<int>(input.left(position).size()
                                     - pauseCharactersOnly(input.left(position)).size());
        input = kept;
    }
    if (exceedsMaximumPause(input)) {
        input = QString(kMaximumPauseText);
        position = static_cast<int>(input.size());
    }
    return Acceptable;
}

PauseLineEdit::PauseLineEdit(QWidget *parent)
    : QLineEdit(parent)
{
    setMaxLength(kPauseTextMaxLength);
    setAlignment(Qt::AlignCenter);
    setValidator(new PauseValidator(this));
}

bool PauseLineEdit::event(QEvent *event)
{
    // Control characters such as Ctrl+D or Ctrl+V are discarded here, so the box must not claim
    // them as its own shortcuts: the menu's shortcuts then still work while it has the focus.
    if (event->type() == QEvent::ShortcutOverride
        && isDiscardedKey(*static_cast<QKeyEvent *>(event))) {
        event->ignore();
        return true;
    }
    return QLineEdit::event(event);
}

void PauseLineEdit::keyPressEvent(QKeyEvent *event)
{
    if (isDiscardedKey(*event)) {
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}
