#pragma once

#include <QApplication>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <ostream>

class QCheckBox;
class QLineEdit;

// Helpers for tests that drive real windows as a user does.

// Failures show texts as texts.
inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

// Ends the test at once, naming the control that was looked for: the helpers below never
// hand a null control to a test.
[[noreturn]] void stopForMissingControl(const char *name, const char *type);

// The window's control of that designer name and type.
template<typename Control = QWidget>
Control *findControl(const QObject &window, const char *name)
{
    if (auto *found = window.findChild<Control *>(QLatin1String(name)))
        return found;
    stopForMissingControl(name, Control::staticMetaObject.className());
}

// Clicks a button that must be on show, as a user does.
void clickVisibleButton(const QObject &window, const char *name);
// Clicks a check box on its box.
void tick(QCheckBox &box);
// Selects all of a text box's text, deletes it and types the new text, key by key.
void retype(QLineEdit &field, const QString &text);

// Lets windows that closed themselves with WA_DeleteOnClose be deleted, as the event loop would,
// and lets queued work run.
void finishClosedWindows();

// How many top-level windows of the class are on show.
template<typename Window>
int shownWindowCount()
{
    int count = 0;
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (qobject_cast<Window *>(window) && window->isVisible())
            ++count;
    }
    return count;
}

// Asks again every tenth of a second until the condition holds; false when it still does not
// after the time given.
bool waitUntil(const std::function<bool()> &condition, int milliseconds = 20000);

// What a user would see wrong in the layout of a window as it is shown now: two controls that
// overlap by more than the border line they may share, a control that sticks out of the one it
// lies in, or a caption cut off by its control. One line each; empty when all is well. Controls
// count when they have a designer name and are on show.
[[nodiscard]] QStringList layoutFaults(const QWidget &window);
