#pragma once

#include <QString>

enum class MessageIcon { None, Information, Critical };

// Shows a message box with the application title as its caption and one OK button; returns
// once the user has dismissed it.
class MessageBoxService
{
public:
    virtual ~MessageBoxService() = default;
    virtual void show(const QString &text, MessageIcon icon) = 0;
};
