#pragma once

#include <QObject>

class QAction;
class QCheckBox;

// One option that is both a check box and a menu item ("Stretch Images", "Enable Audio"). The
// check box holds the value; the menu item's check mark follows it, whichever of the two was
// clicked and also when the program sets the check box.
class OptionSwitch final : public QObject
{
    Q_OBJECT

public:
    OptionSwitch(QCheckBox &box, QAction &item);

private:
    QCheckBox &m_box;
    QAction &m_item;
};
