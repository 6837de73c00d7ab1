#include "editor/OptionSwitch.h"

#include <QAction>
#include <QCheckBox>

OptionSwitch::OptionSwitch(QCheckBox &box, QAction &item)
    : m_box(box)
    , m_item(item)
{
    m_item.setCheckable(true);
    m_item.setChecked(m_box.checkState() == Qt::Checked);
    connect(&m_box, &QCheckBox::stateChanged, this, [this](int state) {
        // A grayed box leaves the mark as it is.
        if (state == Qt::Unchecked)
            m_item.setChecked(false);
        else if (state == Qt::Checked)
            m_item.setChecked(true);
    });
    // The item has toggled its own mark by the time it reports the click.
    connect(&m_item, &QAction::triggered, this, [this](bool checked) {
        m_box.setCheckState(checked ? Qt::Checked : Qt::Unchecked);
    });
}
