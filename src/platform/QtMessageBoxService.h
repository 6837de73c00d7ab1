#pragma once

#include "platform/MessageBoxService.h"

#include <QPointer>
#include <QWidget>

// Message boxes as QMessageBox, captioned with the application's title.
class QtMessageBoxService final : public MessageBoxService
{
public:
    explicit QtMessageBoxService(QString applicationTitle, QWidget *parent = nullptr);

    void show(const QString &text, MessageIcon icon, QWidget *window = nullptr) override;

private:
    QString m_title;
    QPointer<QWidget> m_parent;
};
