// The program itself, started as main() starts it, walked through by a script: the splash, the
// book, a visit to the maker's site and back, the start page, print preview, find, the About
// box and File > Exit. The exit code is the program's own; a step that does not come about in
// time ends the walk with code 3 and says which step on standard error.

#include "about/aboutbox.h"
#include "about/dialog.h"
#include "commands/menubar.h"
#include "commands/menuitem.h"
#include "shell/desktopplatform.h"
#include "shell/form1.h"
#include "shell/startup.h"
#include "shell/toolbar.h"
#include "view/finddialog.h"
#include "view/makeraddress.h"
#include "view/webbrowser.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QWebEnginePage>

#include <cstdio>
#include <functional>
#include <string_view>
#include <vector>

namespace {

struct Step
{
    const char *name;
    std::function<void()> act;
    std::function<bool()> done;
    // Runs while `act` has not returned, that is while a modal dialog it opened is open.
    std::function<void()> meanwhile;
};

class Walk : public QObject
{
public:
    explicit Walk(DesktopPlatform &platform)
        : QObject(&platform)
        , m_platform(platform)
    {
        m_steps = script();
        connect(&m_ticker, &QTimer::timeout, this, &Walk::tick);
        m_ticker.start(50);
        // A timer does not fire again while its own handler runs: the watch over a modal
        // dialog needs a timer of its own.
        connect(&m_watcher, &QTimer::timeout, this, [this] {
            if (m_current >= m_steps.size())
                return;
            if (m_stepClock.hasExpired(60000))
                fail("the dialog was not closed");
            else if (m_steps[m_current].meanwhile)
                m_steps[m_current].meanwhile();
        });
    }

private:
    std::vector<Step> script();
    void tick();
    void fail(const char *why);

    Form1 *form() const;
    WebBrowser *view() const;
    QToolButton *button(int index) const { return form()->Toolbar1()->button(index); }
    // True once the page's text has been seen to hold `text`; asks the page again meanwhile.
    bool pageShows(const QString &text);

    DesktopPlatform &m_platform;
    std::vector<Step> m_steps;
    size_t m_current = 0;
    bool m_started = false;
    QElapsedTimer m_stepClock;
    QTimer m_ticker;
    QTimer m_watcher;
    QString m_pageText;
    bool m_asking = false;
    int m_previewPages = 0;
};

Form1 *Walk::form() const
{
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows) {
        if (auto *found = qobject_cast<Form1 *>(window); found && found->isVisible())
            return found;
    }
    return nullptr;
}

WebBrowser *Walk::view() const
{
    Form1 *main = form();
    return main ? qobject_cast<WebBrowser *>(main->WebBrowser1()) : nullptr;
}

bool Walk::pageShows(const QString &text)
{
    WebBrowser *browser = view();
    if (!browser)
        return false;
    if (m_pageText.contains(text))
        return true;
    if (!m_asking) {
        m_asking = true;
        browser->webPage()->toPlainText([this](const QString &shown) {
            m_pageText = shown;
            m_asking = false;
        });
    }
    return false;
}

std::vector<Step> Walk::script()
{
    const QString book = QStringLiteral("Palendor");
    const auto atMaker = [this] {
        WebBrowser *browser = view();
        return browser && browser->webPage()->url() == QUrl(QString::fromLatin1(MakerAddress))
                && !browser->webPage()->isLoading();
    };
    const auto forgetPage = [this] { m_pageText.clear(); };
    return {
        {"splash, then the main window", [] {}, [this] { return form() != nullptr; }, {}},
        {"the book shown", [] {}, [this, book] { return pageShows(book); }, {}},
        {"More Free E-Books", [this, forgetPage] { forgetPage(); button(12)->click(); }, atMaker, {}},
        {"Back", [this, forgetPage] { forgetPage(); button(1)->click(); },
         [this, book] { return pageShows(book); }, {}},
        {"More Free E-Books again", [this, forgetPage] { forgetPage(); button(12)->click(); }, atMaker, {}},
        {"Start Page", [this, forgetPage] { forgetPage(); button(3)->click(); },
         [this, book] { return pageShows(book); }, {}},
        {"File > Print Preview, shown and closed",
         [this] { form()->menus()->mnuFilePrintPreview->action()->trigger(); },
         [this] { return m_previewPages > 0; },
         [this] {
             // Closed once the engine has drawn the pages and the dialog takes input again.
             const auto windows = QApplication::topLevelWidgets();
             for (QWidget *window : windows) {
                 auto *preview = qobject_cast<QPrintPreviewDialog *>(window);
                 if (!preview || !preview->isVisible() || !preview->isEnabled())
                     continue;
                 auto *pages = preview->findChild<QPrintPreviewWidget *>();
                 if (pages && pages->pageCount() > 0) {
                     m_previewPages = pages->pageCount();
                     preview->reject();
                 }
             }
         }},
        {"main window active again",
         [this] { form()->activateWindow(); },
         [this] { return form()->isActiveWindow(); }, {}},
        {"Find opens the find dialog",
         [this] { form()->menus()->mnuFind->action()->trigger(); },
         [this] { return view()->findDialog() && view()->findDialog()->isVisible(); }, {}},
        {"a word searched",
         [this] { view()->findDialog()->findChild<QLineEdit *>(QStringLiteral("findText"))->setText(QStringLiteral("lamp")); },
         [this] { return view()->findDialog()->status().contains(QLatin1String(" of ")); }, {}},
        {"find dialog closed",
         [this] { view()->findDialog()->reject(); },
         [this] { return !view()->findDialog()->isVisible(); }, {}},
        {"About opens the About box",
         [this] { form()->menus()->mnuAbout->action()->trigger(); },
         [this] { return m_platform.aboutBox().dialog() && m_platform.aboutBox().dialog()->isVisible(); }, {}},
        {"About box closed with OK",
         [this] { m_platform.aboutBox().dialog()->findChild<QPushButton *>(QStringLiteral("OKButton"))->click(); },
         [this] { return !m_platform.aboutBox().dialog(); }, {}},
        {"File > Exit", [this] { form()->menus()->mnuFileExit->action()->trigger(); }, [] { return false; }, {}},
    };
}

void Walk::tick()
{
    if (m_current >= m_steps.size())
        return;
    Step &step = m_steps[m_current];
    if (!m_started) {
        std::fprintf(stderr, "step: %s\n", step.name);
        m_started = true;
        m_stepClock.start();
        if (std::string_view(step.name) != "splash, then the main window" && !form()) {
            fail("no main window");
            return;
        }
        if (step.meanwhile)
            m_watcher.start(50);
        step.act();
        m_watcher.stop();
    }
    if (step.done()) {
        ++m_current;
        m_started = false;
        return;
    }
    if (m_stepClock.hasExpired(60000))
        fail("did not come about");
}

void Walk::fail(const char *why)
{
    const WebBrowser *browser = view();
    const QString page = browser ? QStringLiteral("%1 (%2)").arg(browser->webPage()->url().toString(),
                                                                 browser->webPage()->isLoading() ? QStringLiteral("loading") : QStringLiteral("loaded"))
                                 : QStringLiteral("no view");
    std::fprintf(stderr, "walk failed at \"%s\": %s; page %s\n", m_steps[m_current].name, why, qPrintable(page));
    m_current = m_steps.size();
    QCoreApplication::exit(3);
}

} // namespace

int main(int argc, char *argv[])
{
    // The walk belongs to the platform and goes with it, before the application object.
    return runProgram(argc, argv, [](DesktopPlatform &platform) { new Walk(platform); });
}
