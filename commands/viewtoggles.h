#ifndef VIEWTOGGLES_H
#define VIEWTOGGLES_H

#include <QObject>

class Form1;
class MenuItem;

// View > Toolbar and View > Faith Bar: the check mark is the state.
class ViewToggles : public QObject
{
    Q_OBJECT

public:
    ViewToggles(Form1 &form, MenuItem &toolbarItem, MenuItem &faithBarItem, QObject *parent = nullptr);

    void mnuViewtoolbar_Click();
    void mnuViewStatusBar_Click();

private:
    Form1 &m_form;
    MenuItem &m_toolbarItem;
    MenuItem &m_faithBarItem;
};

#endif // VIEWTOGGLES_H
