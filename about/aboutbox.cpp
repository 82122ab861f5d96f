#include "aboutbox.h"

#include "dialog.h"

AboutBox::AboutBox(Launcher &launcher, std::function<void(const QString &)> runtimeError)
    : m_launcher(launcher)
    , m_runtimeError(std::move(runtimeError))
{
}

// The box refers to the launcher; it must not outlive the one who handed it out.
AboutBox::~AboutBox()
{
    delete m_dialog;
}

void AboutBox::show()
{
    // A box that has been closed is only waiting to be deleted: it does not count.
    if (!dialog()) {
        m_dialog = new Dialog(m_launcher, m_runtimeError);
        m_dialog->show();
    } else {
        m_dialog->raise();
    }
    m_dialog->activateWindow();
}

Dialog *AboutBox::dialog() const
{
    return m_dialog && m_dialog->isVisible() ? m_dialog.data() : nullptr;
}
