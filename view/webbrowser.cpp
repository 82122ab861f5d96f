#include "webbrowser.h"

#include <utility>

#include "finddialog.h"
#include "printhandler.h"
#include "resscheme.h"

#include <QShortcut>
#include <QVBoxLayout>
#include <QWebEngineHistory>
#include <QWebEngineNewWindowRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>

WebBrowser::WebBrowser(QWidget *parent)
    : DocumentView(parent)
{
    // No storage name: an off-the-record profile, which keeps cache, cookies and storage in
    // memory only.
    m_profile = new QWebEngineProfile(this);
    m_profile->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
    m_profile->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
    m_profile->setSpellCheckEnabled(false);
    m_profile->installUrlSchemeHandler("res", new ResScheme(m_profile));

    m_view = new QWebEngineView(this);
    // The page must exist before anything asks the view for one, or the view would make
    // its own on the default profile, which lives on disk.
    m_page = new QWebEnginePage(m_profile, m_view);
    m_view->setPage(m_page);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    // Focus given to the view as a control goes to the page, where keys scroll and select.
    setFocusProxy(m_view);

    QWebEngineSettings *settings = m_page->settings();
    m_baseFontSize = settings->fontSize(QWebEngineSettings::DefaultFontSize);
    m_baseFixedFontSize = settings->fontSize(QWebEngineSettings::DefaultFixedFontSize);

    // A link that asks for a new window opens here: the program has one view.
    connect(m_page, &QWebEnginePage::newWindowRequested, this,
            [this](QWebEngineNewWindowRequest &request) { m_page->load(request.requestedUrl()); });
    connect(m_view, &QWebEngineView::loadFinished, this, &WebBrowser::loadFinished);

    m_printHandler = new PrintHandler(m_view, this);
    connect(m_printHandler, &PrintHandler::printingFinished, this, &WebBrowser::printingFinished);

    // Also answers a Ctrl+F sent to the focus widget: the shortcut map is consulted before
    // the engine's widget sees the key.
    auto *find = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F), m_view);
    find->setContext(Qt::WidgetWithChildrenShortcut);
    connect(find, &QShortcut::activated, this, &WebBrowser::showFindDialog);
}

WebBrowser::~WebBrowser()
{
    // Pages must go before the profile they were made with; the print handler has one of its
    // own while it prints a selection.
    delete m_findDialog;
    delete m_view;
    delete m_printHandler;
}

bool WebBrowser::Navigate(QString &address)
{
    // A page loaded ahead of time for this very address is already what the caller asks for.
    const QString kept = std::exchange(m_keptAddress, QString());
    if (!kept.isEmpty() && address == kept)
        return true;
    return load(address);
}

void WebBrowser::keepNextNavigation(const QString &address)
{
    m_keptAddress = address;
}

bool WebBrowser::Navigate2(QString address)
{
    return load(address);
}

bool WebBrowser::load(const QString &address)
{
    QUrl url;
    if (address.startsWith(QLatin1String("res:"), Qt::CaseInsensitive))
        url = ResScheme::toUrl(address);
    else
        url = QUrl(address);
    if (address.isEmpty() || !url.isValid() || url.isRelative())
        return false;
    m_page->load(url);
    return true;
}

bool WebBrowser::GoBack()
{
    if (!m_page->history()->canGoBack())
        return false;
    m_page->history()->back();
    return true;
}

bool WebBrowser::GoForward()
{
    if (!m_page->history()->canGoForward())
        return false;
    m_page->history()->forward();
    return true;
}

bool WebBrowser::ExecWB(qint32 command, qint32 option, std::optional<qint32> input)
{
    if (option != DoDefault && option != PromptUser && option != DontPromptUser)
        return false;
    switch (command) {
    // The engine drops a print request made while a page is loading and never answers it.
    case Print:
        return hasDocument() && !m_page->isLoading() && m_printHandler->print(option != DontPromptUser);
    case PrintPreview:
        return hasDocument() && !m_page->isLoading() && m_printHandler->printPreview();
    case Copy:
        if (!m_page->hasSelection())
            return false;
        m_page->triggerAction(QWebEnginePage::Copy);
        return true;
    case SelectAll:
        if (!hasDocument())
            return false;
        m_page->triggerAction(QWebEnginePage::SelectAll);
        return true;
    case Zoom:
        if (!input || *input < 0 || *input >= qint32(std::size(textSizePercent)))
            return false;
        setTextSize(*input);
        return true;
    default:
        return false;
    }
}

bool WebBrowser::SetFocus()
{
    // Keyboard focus lives in the active window; taking it elsewhere would change nothing
    // a keystroke could reach.
    if (!m_view->isVisible() || !m_view->isEnabled() || !m_view->isActiveWindow())
        return false;
    m_view->setFocus(Qt::OtherFocusReason);
    return m_view->hasFocus();
}

FindDialog *WebBrowser::findDialog() const
{
    return m_findDialog;
}

bool WebBrowser::hasDocument() const
{
    return !m_page->url().isEmpty();
}

void WebBrowser::setTextSize(int level)
{
    // Text only: pictures and the page's own pixel sizes stay as they are.
    m_textSize = level;
    const int percent = textSizePercent[level];
    QWebEngineSettings *settings = m_page->settings();
    settings->setFontSize(QWebEngineSettings::DefaultFontSize, qRound(m_baseFontSize * percent / 100.0));
    settings->setFontSize(QWebEngineSettings::DefaultFixedFontSize,
                          qRound(m_baseFixedFontSize * percent / 100.0));
}

void WebBrowser::showFindDialog()
{
    if (!m_findDialog)
        m_findDialog = new FindDialog(m_page, this);
    m_findDialog->show();
    m_findDialog->raise();
    m_findDialog->activateWindow();
}
