#include "findcommand.h"

#include "shell/guard.h"
#include "shell/keystroke.h"
#include "view/documentview.h"

void findInView(DocumentView &view)
{
    tolerant({
            [&view] { view.SetFocus(); },
            [] { sendKeystroke(Qt::CTRL | Qt::Key_F); },
    });
}
