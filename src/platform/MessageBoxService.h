#pragma once

#include <QString>

class QWidget;

enum class MessageIcon { None, Information, Critical };

// Shows a message box with the application title as its caption and one OK button; returns
// once the user has dismissed it.
class MessageBoxService
{
public:
    virtual ~MessageBoxService() = default;
    // With a window, the box belongs to it (transient for it), so a window manager keeps it in
    // front of that window even when the window covers the screen.
    virtual void show(const QString &text, MessageIcon icon, QWidget *window = nullptr) = 0;
};
