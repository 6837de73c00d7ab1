#include "QtMessageBoxService.h"

#include <QMessageBox>

QtMessageBoxService::QtMessageBoxService(QString applicationTitle, QWidget *parent)
    : m_title(std::move(applicationTitle))
    , m_parent(parent)
{}

void QtMessageBoxService::show(const QString &text, MessageIcon icon)
{
    const QMessageBox::Icon boxIcon = icon == MessageIcon::Information ? QMessageBox::Information
                                      : icon == MessageIcon::Critical  ? QMessageBox::Critical
                                                                       : QMessageBox::NoIcon;
    QMessageBox box(boxIcon, m_title, text, QMessageBox::Ok, m_parent.data());
    box.setObjectName(QStringLiteral("MessageBox"));
    box.exec();
}
