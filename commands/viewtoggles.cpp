#include "viewtoggles.h"

#include "menuitem.h"

#include "shell/form1.h"
#include "shell/guard.h"
#include "shell/statusbar.h"
#include "shell/toolbar.h"
#include "view/documentview.h"

ViewToggles::ViewToggles(Form1 &form, MenuItem &toolbarItem, MenuItem &faithBarItem, QObject *parent)
    : QObject(parent)
    , m_form(form)
    , m_toolbarItem(toolbarItem)
    , m_faithBarItem(faithBarItem)
{
}

void ViewToggles::mnuViewtoolbar_Click()
{
    DocumentView &view = *m_form.WebBrowser1();
    if (m_toolbarItem.Checked()) {
        tolerant({
                [&] { m_toolbarItem.setChecked(false); },
                [&] { m_form.Toolbar1()->setVisible(false); },
                [&] { view.setTop(100); },
                [&] { view.setHeight(view.Height() + 500.0f); },
        });
        return;
    }
    tolerant({
            [&] { m_toolbarItem.setChecked(true); },
            [&] { m_form.Toolbar1()->setVisible(true); },
            [&] { view.setTop(700); },
    });
}

void ViewToggles::mnuViewStatusBar_Click()
{
    if (m_faithBarItem.Checked()) {
        tolerant({
                [&] { m_faithBarItem.setChecked(false); },
                [&] { m_form.StatusBar1()->setVisible(false); },
        });
        return;
    }
    tolerant({
            [&] { m_faithBarItem.setChecked(true); },
            [&] { m_form.StatusBar1()->setVisible(true); },
    });
}
