// Runs the reader's start-up (splash, then the main window on the desktop platform) with one of:
//   probe faith [CHANGES [TIMEOUT_MS]]
//       prints "load T" when the main window is created, "armed T1 T2" for the span over which
//       its twenty quotation timers were made and armed, "shown T" when it is shown, and
//       "text T N <text>" each time the faith bar's text changes, N the number of the timer
//       whose quotation it is (0 for none); T in ms since the main window was created. Quits
//       after CHANGES changes (default 2), or when quotation 20 has come (the chain ends there),
//       or after TIMEOUT_MS (default 150000).
//   probe start [--no-warm-up | --keep-warm-page | --warm-offscreen] [--trace]
//       the reader's start-up as it is; or without warming the engine during the splash; or
//       with a warm view that keeps the page it loaded behind the splash instead of loading it
//       again when the main window sends it to the start page; or that, and the warm view
//       shown off the screen (Qt::WA_DontShowOnScreen) during the splash, so that it renders
//       the page before the main window takes it (candidate changes, measured here before
//       anyone makes them). --trace prints "trace NAME T" lines, T in ms on the
//       monotonic clock, for the steps of the start-up.

#include "faithbar/quotationchain.h"
#include "faithbar/quotations.h"
#include "shell/desktopplatform.h"
#include "shell/form1.h"
#include "shell/lifetime.h"
#include "shell/splash.h"
#include "shell/statusbar.h"
#include "view/resscheme.h"
#include "view/startpage.h"
#include "view/webbrowser.h"

#include <QApplication>
#include <QChildEvent>
#include <QElapsedTimer>
#include <QEvent>
#include <QMetaEnum>
#include <QPointer>
#include <QTimer>
#include <QWebEngineView>
#include <QWindow>

#include <cstdio>
#include <ctime>

namespace {

double monotonicMs()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

bool tracing = false;

void trace(const char *name, const QString &detail = {})
{
    if (!tracing)
        return;
    std::printf("trace %s %.1f %s\n", name, monotonicMs(), qPrintable(detail));
    std::fflush(stdout);
}

// Notices the main window from the first event it receives, during its construction, just
// before its quotation timers are armed; then reads the faith bar's text every few ms.
class FaithWatcher : public QObject
{
public:
    FaithWatcher(int changes, QObject *parent)
        : QObject(parent)
        , m_changesLeft(changes)
    {
        m_poll.setTimerType(Qt::PreciseTimer);
        m_poll.setInterval(5);
        connect(&m_poll, &QTimer::timeout, this, &FaithWatcher::poll);
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (!m_form) {
            if (auto *form = qobject_cast<Form1 *>(watched)) {
                m_form = form;
                m_sinceLoad.start();
                print("load", {});
                m_poll.start();
            }
        } else if (event->type() == QEvent::ChildAdded && m_armedEnd < 0) {
            // Each timer is made as a child of the chain and armed before the next one is made;
            // the chain is done when the window makes its next control.
            if (qobject_cast<QuotationChain *>(watched)) {
                if (m_armedBegin < 0)
                    m_armedBegin = m_sinceLoad.nsecsElapsed();
            } else if (watched == m_form && m_armedBegin >= 0) {
                m_armedEnd = m_sinceLoad.nsecsElapsed();
                std::printf("armed %.3f %.3f\n", m_armedBegin / 1e6, m_armedEnd / 1e6);
                std::fflush(stdout);
            }
        } else if (watched == m_form && event->type() == QEvent::Show && !m_shown) {
            m_shown = true;
            print("shown", {});
        }
        return false;
    }

private:
    void poll()
    {
        if (!m_form || !m_form->StatusBar1())
            return;
        const QString text = m_form->StatusBar1()->Panels(1).Text();
        if (text == m_text)
            return;
        m_text = text;
        int number = 0;
        for (int n = 1; n <= QuotationCount; ++n) {
            if (quotation(n) == text)
                number = n;
        }
        print("text", QString::number(number) + u' ' + text);
        if (m_seenFirst && (--m_changesLeft <= 0 || number == QuotationCount))
            QCoreApplication::quit();
        m_seenFirst = true;
    }

    void print(const char *what, const QString &text)
    {
        std::printf("%s %.1f %s\n", what, m_sinceLoad.nsecsElapsed() / 1e6, qPrintable(text));
        std::fflush(stdout);
    }

    QPointer<Form1> m_form;
    QElapsedTimer m_sinceLoad;
    QTimer m_poll;
    QString m_text;
    qint64 m_armedBegin = -1;
    qint64 m_armedEnd = -1;
    int m_changesLeft = 0;
    bool m_seenFirst = false;
    bool m_shown = false;
};

// Prints the steps of the start-up as they happen.
class StartTracer : public QObject
{
public:
    explicit StartTracer(QObject *parent)
        : QObject(parent)
    {
        qApp->installEventFilter(this);
    }

    void watchView(QWebEngineView *view)
    {
        if (!view || m_views.contains(view))
            return;
        m_views.append(view);
        connect(view, &QWebEngineView::loadStarted, this, [] { trace("view_load_started"); });
        connect(view, &QWebEngineView::loadFinished, this, [](bool ok) {
            trace("view_load_finished", ok ? QStringLiteral("ok") : QStringLiteral("failed"));
        });
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const QEvent::Type type = event->type();
        if (type == QEvent::ChildAdded && m_form && !m_formShown
            && (watched == m_form || watched == m_form->centralWidget())) {
            // The controls in their creation order; each line ends the step before it.
            const QObject *child = static_cast<QChildEvent *>(event)->child();
            trace("form_child_added", QStringLiteral("%1 <- %2")
                                          .arg(watched == m_form ? QStringLiteral("Form1") : QStringLiteral("client"),
                                               QString::fromLatin1(child->metaObject()->className())));
        }
        if (m_form && !m_formExposed && (watched == m_form || (watched->isWindowType() && watched == m_form->windowHandle()))
            && type != QEvent::ChildAdded && type != QEvent::ChildPolished && type != QEvent::ChildRemoved) {
            const char *name = QMetaEnum::fromType<QEvent::Type>().valueToKey(type);
            trace("form_event", QStringLiteral("%1 %2")
                                        .arg(QLatin1String(watched == m_form ? "widget" : "window"),
                                             name ? QLatin1String(name) : QString::number(int(type))));
        }
        if (type == QEvent::Close && qobject_cast<Splash *>(watched)) {
            trace("splash_close");
        } else if (!m_form) {
            if (auto *form = qobject_cast<Form1 *>(watched)) {
                m_form = form;
                trace("form_created");
            }
        } else if (watched == m_form && type == QEvent::Show && !m_formShown) {
            m_formShown = true;
            trace("form_show");
            watchView(m_form->findChild<QWebEngineView *>());
        } else if (m_formShown && !m_formExposed && type == QEvent::Expose
                   && watched == m_form->windowHandle()) {
            m_formExposed = true;
            trace("form_expose");
        } else if (m_formShown && !m_formPainted && type == QEvent::Paint && watched->isWidgetType()
                   && static_cast<QWidget *>(watched)->window() == m_form) {
            m_formPainted = true;
            trace("form_first_widget_paint");
        }
        return false;
    }

private:
    QPointer<Form1> m_form;
    QList<QPointer<QWebEngineView>> m_views;
    bool m_formShown = false;
    bool m_formExposed = false;
    bool m_formPainted = false;
};

// A view that keeps the page it was warmed with: the main window's first Navigate to that same
// address, which would start the page again, is answered by the page it already has.
class KeptPageBrowser : public WebBrowser
{
public:
    explicit KeptPageBrowser(const QString &address)
        : m_address(address)
    {
        QString first = address;
        WebBrowser::Navigate(first);
    }

    bool Navigate(QString &address) override
    {
        if (!m_kept && address == m_address) {
            m_kept = true;
            return true;
        }
        m_kept = true;
        return WebBrowser::Navigate(address);
    }

private:
    QString m_address;
    bool m_kept = false;
};

class KeptPagePlatform : public DesktopPlatform
{
public:
    void warmUpKeepingPage(bool offscreen)
    {
        if (m_view)
            return;
        m_view = new KeptPageBrowser(StartPage::address(executablePath()));
        if (offscreen) {
            // Shown but never mapped: the view's own rendering starts and the engine lays out
            // and paints the page, with nothing on the screen beside the splash.
            m_view->setAttribute(Qt::WA_DontShowOnScreen);
            m_view->resize(545, 257);
            m_view->show();
        }
    }

    DocumentView *createDocumentView(QWidget *parent) override
    {
        if (!m_view)
            return DesktopPlatform::createDocumentView(parent);
        KeptPageBrowser *view = m_view;
        m_view.clear();
        if (view->testAttribute(Qt::WA_DontShowOnScreen)) {
            view->hide();
            view->setAttribute(Qt::WA_DontShowOnScreen, false);
        }
        view->setParent(parent);
        view->show();
        return view;
    }

private:
    QPointer<KeptPageBrowser> m_view;
};

} // namespace

int main(int argc, char *argv[])
{
    const double started = monotonicMs();
    QStringList options;
    for (int i = 1; i < argc; ++i)
        options.append(QString::fromLocal8Bit(argv[i]));
    const QString mode = options.value(0, QStringLiteral("start"));
    tracing = options.contains(QStringLiteral("--trace"));

    // From here on, the reader's own main(), step by step.
    ResScheme::registerScheme();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QCoreApplication::setAttribute(Qt::AA_DisableShaderDiskCache);
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);

    StartTracer *tracer = nullptr;
    if (tracing) {
        std::printf("trace main %.1f \n", started);
        trace("application");
        tracer = new StartTracer(&app);
    }

    if (mode == QLatin1String("faith")) {
        const int changes = options.value(1, QStringLiteral("2")).toInt();
        const int timeout = options.value(2, QStringLiteral("150000")).toInt();
        new FaithWatcher(changes, &app);
        QTimer::singleShot(timeout, &app, [] {
            std::printf("timeout\n");
            QCoreApplication::exit(1);
        });
    } else if (mode != QLatin1String("start")) {
        return 2;
    }

    Lifetime lifetime;
    QObject::connect(&lifetime, &Lifetime::ended, &app, &QCoreApplication::quit);

    KeptPagePlatform platform;
    auto *splash = new Splash(platform);
    splash->show();
    if (tracing)
        trace("splash_show_returned");

    const auto watchWarmView = [tracer] {
        if (!tracer)
            return;
        const auto windows = QApplication::topLevelWidgets();
        for (QWidget *window : windows) {
            if (qobject_cast<WebBrowser *>(window))
                tracer->watchView(window->findChild<QWebEngineView *>());
        }
    };
    const bool offscreen = options.contains(QStringLiteral("--warm-offscreen"));
    if (options.contains(QStringLiteral("--keep-warm-page")) || offscreen) {
        QTimer::singleShot(0, &platform, [&platform, watchWarmView, offscreen] {
            trace("warm_up_begin");
            platform.warmUpKeepingPage(offscreen);
            trace("warm_up_end");
            watchWarmView();
        });
    } else if (!options.contains(QStringLiteral("--no-warm-up"))) {
        QTimer::singleShot(0, &platform, [&platform, watchWarmView] {
            trace("warm_up_begin");
            platform.warmUp();
            trace("warm_up_end");
            watchWarmView();
        });
    }
    return app.exec();
}
