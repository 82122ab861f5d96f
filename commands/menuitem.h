#ifndef MENUITEM_H
#define MENUITEM_H

#include <QObject>

class QAction;

// A menu item whose check mark changes only when a handler sets it: choosing the item raises
// Click and leaves the mark as it was, so handlers read the state the user saw.
class MenuItem : public QObject
{
    Q_OBJECT

public:
    MenuItem(const QString &name, QAction *action, QObject *parent = nullptr);

    QAction *action() const { return m_action; }
    QString Caption() const;
    bool Checked() const { return m_checked; }
    void setChecked(bool checked);

Q_SIGNALS:
    void Click();

private:
    QAction *m_action;
    bool m_checked = false;
};

#endif // MENUITEM_H
