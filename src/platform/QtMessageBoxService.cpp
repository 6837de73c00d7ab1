#include "platform/QtMessageBoxService.h"

#include <QMessageBox>

QtMessageBoxService::QtMessageBoxService(QString applicationTitle, QWidget *parent)
    : m_title(std::move(applicationTitle))
    , m_parent(parent)
{}

void QtMessageBoxService::show(const QString &text, MessageIcon icon, QWidget *window)
{
    const QMessageBox::Icon boxIcon = icon == MessageIcon::Information ? QMessageBox::Information
                                      : icon == MessageIcon::Critical  ? QMessageBox::Critical
                                                                       : QMessageBox::NoIcon;
    // Texts keep their CR LF line breaks; the label wants a plain LF.
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QMessageBox box(boxIcon, m_title, shown, QMessageBox::Ok, window ? window : m_parent.data());
    box.setTextFormat(Qt::PlainText);
    box.setObjectName(QStringLiteral("MessageBox"));
    box.exec();
}
