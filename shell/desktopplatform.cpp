#include "desktopplatform.h"

#include "about/aboutbox.h"
#include "about/processlauncher.h"
#include "faithbar/steadyclock.h"
#include "twips.h"
#include "view/startpage.h"
#include "view/webbrowser.h"

#include <QApplication>
#include <QMessageBox>
#include <QWidget>

DesktopPlatform::DesktopPlatform()
    : m_clock(std::make_unique<SteadyClock>())
    , m_launcher(std::make_unique<ProcessLauncher>())
    , m_aboutBox(std::make_unique<AboutBox>(*m_launcher, [this](const QString &message) { runtimeError(message); }))
{
}

DesktopPlatform::~DesktopPlatform()
{
    delete m_warmView;
}

void DesktopPlatform::warmUp()
{
    if (m_warmView)
        return;
    m_warmView = new WebBrowser;
    QString address = StartPage::address(executablePath());
    m_warmView->Navigate(address);
    m_warmView->keepNextNavigation(address);
    // Rendered off the screen at the size it will have, so the first frame is ready when the
    // main window appears; nothing of it is on screen beside the splash.
    m_warmView->setAttribute(Qt::WA_DontShowOnScreen);
    m_warmView->resize(Twips::toPixels(8175), Twips::toPixels(3855));
    m_warmView->show();
}

QString DesktopPlatform::executablePath() const
{
    return QCoreApplication::applicationFilePath();
}

DocumentView *DesktopPlatform::createDocumentView(QWidget *parent)
{
    if (m_warmView) {
        WebBrowser *view = m_warmView;
        m_warmView.clear();
        view->hide();
        view->setAttribute(Qt::WA_DontShowOnScreen, false);
        view->setParent(parent);
        view->show();
        return view;
    }
    return new WebBrowser(parent);
}

Clock &DesktopPlatform::clock()
{
    return *m_clock;
}

Launcher &DesktopPlatform::launcher()
{
    return *m_launcher;
}

AboutBox &DesktopPlatform::aboutBox()
{
    return *m_aboutBox;
}

void DesktopPlatform::endProgram()
{
    end(0);
}

void DesktopPlatform::runtimeError(const QString &message)
{
    QMessageBox::critical(nullptr, QStringLiteral("Ambervale"),
                          QObject::tr("Run-time error:\n\n%1").arg(message));
    end(1);
}

void DesktopPlatform::end(int exitCode)
{
    // Every window goes at once; the event loop returns before another handler can run.
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows)
        window->hide();
    QCoreApplication::exit(exitCode);
}
