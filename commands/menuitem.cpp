#include "menuitem.h"

#include <QAction>

MenuItem::MenuItem(const QString &name, QAction *action, QObject *parent)
    : QObject(parent)
    , m_action(action)
{
    setObjectName(name);
    m_action->setObjectName(name);
    connect(m_action, &QAction::triggered, this, [this] {
        // Undo the toolkit's own toggle before the handler looks at the mark.
        m_action->setChecked(m_checked);
        Q_EMIT Click();
    });
}

QString MenuItem::Caption() const
{
    return m_action->text();
}

void MenuItem::setChecked(bool checked)
{
    m_checked = checked;
    // Only a checked item shows a mark; an unchecked one looks like any other item.
    m_action->setCheckable(checked);
    m_action->setChecked(checked);
}
