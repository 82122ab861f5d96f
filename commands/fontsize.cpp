#include "fontsize.h"

#include "menuitem.h"

#include "shell/form1.h"
#include "shell/guard.h"
#include "view/documentview.h"

FontSize::FontSize(Form1 &form, const QList<MenuItem *> &items, QObject *parent)
    : QObject(parent)
    , m_form(form)
    , m_items(items)
{
}

void FontSize::mnuFontSize_Click(qint16 index)
{
    tolerant({
            [&] {
                for (MenuItem *item : std::as_const(m_items))
                    item->setChecked(false);
            },
            [&] {
                if (index < 1 || index > m_items.size())
                    throw StepFailure("Control array element does not exist");
                m_items.at(index - 1)->setChecked(true);
            },
            [&] { m_form.WebBrowser1()->ExecWB(DocumentView::Zoom, DocumentView::DoDefault, qint32(index)); },
    });
}
