#include "WindowTesting.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>
#include <QThread>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

void stopForMissingControl(const char *name, const char *type)
{
    throw std::runtime_error(std::string("the window has no ") + type + " named " + name);
}

void clickVisibleButton(const QObject &window, const char *name)
{
    auto *button = findControl<QAbstractButton>(window, name);
    ASSERT_TRUE(button->isVisible()) << name << " is not on show";
    QTest::mouseClick(button, Qt::LeftButton);
}

void tick(QCheckBox &box)
{
    QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(8, box.height() / 2));
}

void retype(QLineEdit &field, const QString &text)
{
    field.setFocus();
    field.selectAll();
    QTest::keyClick(&field, Qt::Key_Delete);
    QTest::keyClicks(&field, text);
}

void finishClosedWindows()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

bool waitUntil(const std::function<bool()> &condition, int milliseconds)
{
    const QDeadlineTimer deadline(milliseconds);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(100);
    }
    return true;
}

namespace {

bool isShownControl(const QWidget &widget)
{
    const QString name = widget.objectName();
    return !name.isEmpty() && !name.startsWith(u"qt_") && widget.isVisible();
}

// The width a control needs to show its whole caption; zero when it has none.
int captionWidth(const QWidget &control)
{
    if (const auto *label = qobject_cast<const QLabel *>(&control))
        return label->text().isEmpty() ? 0 : label->sizeHint().width();
    if (qobject_cast<const QCheckBox *>(&control) || qobject_cast<const QRadioButton *>(&control))
        return control.sizeHint().width();
    if (const auto *button = qobject_cast<const QPushButton *>(&control)) {
        if (button->text().isEmpty())
            return 0;
        // The caption against the room the style leaves for it inside the button's frame.
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        if (button->isDefault())
            option.features |= QStyleOptionButton::DefaultButton;
        if (button->autoDefault())
            option.features |= QStyleOptionButton::AutoDefaultButton;
        const QRect room = button->style()->subElementRect(QStyle::SE_PushButtonContents,
                                                           &option,
                                                           button);
        return button->fontMetrics().horizontalAdvance(QString(button->text()).remove(u'&'))
               + button->width() - room.width();
    }
    return 0;
}

QString describe(const QWidget &control)
{
    const QRect g = control.geometry();
    return QStringLiteral("%1 (%2,%3 %4x%5)")
        .arg(control.objectName())
        .arg(g.x())
        .arg(g.y())
        .arg(g.width())
        .arg(g.height());
}

} // namespace

QStringList layoutFaults(const QWidget &window)
{
    QList<const QWidget *> controls;
    for (const QWidget *widget : window.findChildren<QWidget *>()) {
        if (isShownControl(*widget))
            controls << widget;
    }
    QStringList faults;
    for (qsizetype i = 0; i < controls.size(); ++i) {
        const QWidget &control = *controls[i];
        for (qsizetype j = i + 1; j < controls.size(); ++j) {
            const QWidget &other = *controls[j];
            const QRect shared = control.geometry() & other.geometry();
            if (other.parentWidget() == control.parentWidget() && shared.width() > 1
                && shared.height() > 1) {
                faults << describe(control) + QStringLiteral(" overlaps ") + describe(other);
            }
        }
        if (!control.parentWidget()->rect().contains(control.geometry()))
            faults << describe(control) + QStringLiteral(" sticks out of its parent");
        const int needed = captionWidth(control);
        if (needed > control.width()) {
            faults << describe(control)
                          + QStringLiteral(" cuts its caption: it needs %1 pixels").arg(needed);
        }
        if (needed > 0 && control.fontMetrics().height() > control.height())
            faults << describe(control) + QStringLiteral(" is lower than its caption");
    }
    return faults;
}
