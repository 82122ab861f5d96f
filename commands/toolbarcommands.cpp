#include "toolbarcommands.h"

#include "findcommand.h"

#include "about/aboutbox.h"
#include "shell/form1.h"
#include "shell/guard.h"
#include "shell/platform.h"
#include "view/documentview.h"
#include "view/makeraddress.h"
#include "view/startpage.h"

ToolbarCommands::ToolbarCommands(Form1 &form)
    : QObject(&form)
    , m_form(form)
{
}

QList<ToolbarEntry> ToolbarCommands::buttonTable()
{
    const auto push = [](const QString &caption, int picture) {
        return ToolbarEntry{ToolbarEntry::PushButton, caption, picture};
    };
    const ToolbarEntry separator{ToolbarEntry::Separator, {}, 0};
    return {
        push(tr("Back"), 3),
        push(tr("Forward"), 4),
        push(tr("Start Page"), 2),
        separator,
        separator,
        push(tr("Print"), 6),
        separator,
        push(tr("Find"), 5),
        separator,
        push(tr("About"), 7),
        separator,
        push(tr("More Free E-Books"), 9),
        separator,
        push(tr("Exit"), 8),
    };
}

// Every click goes through all eight tests in this order. Exit closes the window only when
// control is back in the event loop, so the tests after it still find their objects; they
// compare the button's index and touch nothing else.
void ToolbarCommands::Toolbar1_ButtonClick(ToolbarButton button)
{
    Form1 &form = m_form;
    DocumentView &view = *form.WebBrowser1();
    tolerant({
            [&] { if (button.Index() == 1) view.GoBack(); },
            [&] { if (button.Index() == 2) view.GoForward(); },
            [&] {
                if (button.Index() == 3) {
                    QString address = StartPage::address(form.platform().executablePath());
                    view.Navigate(address);
                }
            },
            [&] { if (button.Index() == 10) form.platform().aboutBox().show(); },
            [&] { if (button.Index() == 14) form.close(); },
            [&] { if (button.Index() == 12) view.Navigate2(QString::fromLatin1(MakerAddress)); },
            [&] { if (button.Index() == 6) view.ExecWB(DocumentView::Print, DocumentView::PromptUser); },
            [&] { if (button.Index() == 8) findInView(view); },
    });
}
