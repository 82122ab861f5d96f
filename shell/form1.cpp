#include "form1.h"

#include "commands/menubar.h"
#include "commands/menuitem.h"
#include "commands/toolbarcommands.h"
#include "faithbar/quotationchain.h"
#include "faithbar/quotations.h"
#include "guard.h"
#include "imagelist.h"
#include "platform.h"
#include "statusbar.h"
#include "toolbar.h"
#include "twips.h"
#include "view/documentview.h"
#include "view/startpage.h"

#include <QCloseEvent>
#include <QEvent>
#include <QMenuBar>
#include <QResizeEvent>

namespace {

// Keeps the toolbar along the top edge and the faith bar along the bottom edge at the full
// width; the document view is placed by hand and may lie under them.
class ClientArea : public QWidget
{
public:
    using QWidget::QWidget;

    void dock(QWidget *top, QWidget *bottom)
    {
        m_top = top;
        m_bottom = bottom;
        m_top->installEventFilter(this);
        m_bottom->installEventFilter(this);
        arrange();
    }

protected:
    void resizeEvent(QResizeEvent *) override { arrange(); }
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::LayoutRequest)
            arrange();
        return false;
    }

private:
    void arrange()
    {
        if (!m_top)
            return;
        const int topHeight = std::max(Twips::toPixels(660), m_top->sizeHint().height());
        m_top->setGeometry(0, 0, width(), topHeight);
        const int bottomHeight = Twips::toPixels(255);
        m_bottom->setGeometry(0, height() - bottomHeight, width(), bottomHeight);
    }

    QWidget *m_top = nullptr;
    QWidget *m_bottom = nullptr;
};

} // namespace

Form1::Form1(Platform &platform)
    : m_platform(platform)
{
    setObjectName(QStringLiteral("Form1"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Ambervale"));
    setWindowIcon(QIcon(QStringLiteral(":/ambervale.ico")));

    auto *client = new ClientArea(this);
    client->setObjectName(QStringLiteral("ClientArea"));
    setCentralWidget(client);

    // Creation order matters: the quotation timers are armed first, and every control exists
    // before Load runs.
    m_chain = new QuotationChain(
            platform.clock(), [this](const QString &text) { m_statusBar->Panels(1).setText(text); },
            [this](const QString &message) { m_platform.runtimeError(message); }, this);
    m_imageList = new ImageList(this);
    m_toolbarCommands = new ToolbarCommands(*this);
    m_toolbar = new Toolbar(*m_imageList, ToolbarCommands::buttonTable(), client);
    connect(m_toolbar, &Toolbar::ButtonClick, m_toolbarCommands, &ToolbarCommands::Toolbar1_ButtonClick);
    m_statusBar = new StatusBar(client);
    m_view = platform.createDocumentView(client);
    m_view->setObjectName(QStringLiteral("WebBrowser1"));
    m_view->setLeft(120);
    m_view->setTop(720);
    m_view->setWidth(8175);
    m_view->setHeight(3855);
    m_menus = new MenuBar(*this);

    m_view->lower();
    // The reader starts in the book: its keys scroll, select and copy straight away.
    m_view->setFocus(Qt::OtherFocusReason);
    client->dock(m_toolbar, m_statusBar);
    setTabOrder(m_view, m_statusBar);
    setTabOrder(m_statusBar, m_toolbar);

    // The stored place and size are the client area's, below the menu bar.
    const int menuHeight = menuBar()->sizeHint().height();
    setGeometry(Twips::toPixels(1740), Twips::toPixels(2055) - menuHeight, Twips::toPixels(8385),
                Twips::toPixels(5055) + menuHeight);

    Form_Load();
}

float Form1::outerWidth() const
{
    return Twips::fromPixels(frameGeometry().width());
}

float Form1::outerHeight() const
{
    return Twips::fromPixels(frameGeometry().height());
}

void Form1::Form_Load()
{
    QString address;
    tolerant({
            [&] { address = StartPage::address(m_platform.executablePath()); },
            [&] { m_view->Navigate(address); },
            [&] { m_menus->mnuViewStatusBar->setChecked(true); },
            [&] { m_menus->mnuViewtoolbar->setChecked(true); },
            [&] { m_statusBar->Panels(1).setText(QString::fromLatin1(OpeningQuotation)); },
            [&] { m_toolbar->setVisible(true); },
    });
}

void Form1::Form_Resize()
{
    tolerant({
            [&] { m_view->setWidth(outerWidth() - 300); },
            [&] { m_view->setHeight(outerHeight() - 1700); },
    });
}

void Form1::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void Form1::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    // Minimising and restoring count as size changes too.
    if (event->type() == QEvent::WindowStateChange)
        Form_Resize();
}

void Form1::closeEvent(QCloseEvent *event)
{
    QMainWindow::closeEvent(event);
    // The window itself goes only when the event loop next runs; its quotation timers stop now.
    if (event->isAccepted()) {
        delete m_chain;
        m_chain = nullptr;
    }
}
