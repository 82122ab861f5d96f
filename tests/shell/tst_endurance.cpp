#include "testmain.h"
#include "testplatform.h"

#include "about/dialog.h"
#include "commands/menubar.h"
#include "commands/menuitem.h"
#include "shell/form1.h"
#include "shell/statusbar.h"
#include "shell/toolbar.h"
#include "view/finddialog.h"
#include "view/startpage.h"
#include "view/webbrowser.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QToolButton>
#include <QWebEnginePage>

#include <malloc.h>

#include <cmath>
#include <random>

// Thousands of commands in a random but repeatable order, fired at the main window over the
// real document view, as a restless reader would: every toolbar index, every menu item but
// File > Exit, both toggles, the text sizes, sizes from tiny to large, the About box and the
// find dialog opened and closed, print and preview dialogs answered. Afterwards the reader
// must still work and must not have grown.
class tst_Endurance : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void thousandsOfRandomCommandsLeaveAWorkingReader();

private:
    struct Command
    {
        const char *name;
        int weight;
        std::function<bool()> possible;
        std::function<void()> run;
    };

    QList<Command> commands();
    void openWindow();
    void pageAtRest();
    void settle();
    void answerPrintDialogs();
    void checkState(const QString &after);
    bool showsBook();
    Dialog *aboutBox() const { return m_platform->aboutBox().dialog(); }
    WebBrowser *view() const { return static_cast<WebBrowser *>(m_form->WebBrowser1()); }
    FindDialog *findDialog() const { return m_form ? view()->findDialog() : nullptr; }

    std::unique_ptr<TestPlatform> m_platform;
    QPointer<Form1> m_form;
    std::mt19937 m_random;
    bool m_fontChosen = false;
    int m_windowsOpened = 0;
    int m_printDialogsAnswered = 0;
    int m_previewsShown = 0;
    int m_previewPagesSeen = 0;
    QStringList m_history;
};

struct MemoryInUse
{
    qint64 own = 0; // KiB
    qint64 helpers = 0;
    int processes = 0;
};

// Memory in use by this process and by every process below it (the engine's helpers), as the
// proportional share of their anonymous and shared memory. Pages mapped from files (the
// libraries) are left out: their share changes with every other program that maps them.
// Memory this process has freed goes back to the system first.
static MemoryInUse memoryInUse()
{
    malloc_trim(0);
    QHash<qint64, QList<qint64>> children;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString &entry : entries) {
        bool isPid = false;
        const qint64 pid = entry.toLongLong(&isPid);
        if (!isPid)
            continue;
        QFile status(QStringLiteral("/proc/%1/status").arg(pid));
        if (!status.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray &line : status.readAll().split('\n')) {
            if (line.startsWith("PPid:"))
                children[line.mid(5).trimmed().toLongLong()].append(pid);
        }
    }
    MemoryInUse total;
    const qint64 self = QCoreApplication::applicationPid();
    QList<qint64> pending{self};
    while (!pending.isEmpty()) {
        const qint64 pid = pending.takeLast();
        pending.append(children.value(pid));
        QFile rollup(QStringLiteral("/proc/%1/smaps_rollup").arg(pid));
        if (!rollup.open(QIODevice::ReadOnly))
            continue;
        ++total.processes;
        for (const QByteArray &line : rollup.readAll().split('\n')) {
            if (line.startsWith("Pss_Anon:") || line.startsWith("Pss_Shmem:")) {
                const qint64 kib = line.mid(line.indexOf(':') + 1).trimmed().split(' ').value(0).toLongLong();
                (pid == self ? total.own : total.helpers) += kib;
            }
        }
    }
    return total;
}

void tst_Endurance::openWindow()
{
    m_form = new Form1(*m_platform);
    ++m_windowsOpened;
    m_fontChosen = false;
    // Tiny sizes too, below what the layout would ask for, as in the window's own tests.
    m_form->setMinimumSize(1, 1);
    m_form->show();
    QVERIFY(QTest::qWaitForWindowActive(m_form));
}

// Print and preview only once the page is at rest: the engine drops a print request made while
// another page is on its way in, and that page then never prints again.
void tst_Endurance::pageAtRest()
{
    QTest::qWait(50);
    QTRY_VERIFY_WITH_TIMEOUT(!view()->webPage()->isLoading(), 30000);
}

// Back to the window's normal state with the book shown from its start page, every dialog
// closed, and time for the engine to let go of what it no longer shows.
void tst_Endurance::settle()
{
    if (aboutBox())
        aboutBox()->close();
    if (findDialog())
        findDialog()->reject();
    m_form->showNormal();
    m_form->resize(700, 500);
    m_form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_form));
    if (m_form->Toolbar1()->isHidden())
        m_form->menus()->mnuViewtoolbar->action()->trigger();
    QTest::mouseClick(m_form->Toolbar1()->button(3), Qt::LeftButton);
    const QUrl book = ResScheme::toUrl(StartPage::address(m_platform->path));
    QTRY_COMPARE_WITH_TIMEOUT(view()->webPage()->url(), book, 30000);
    QTRY_VERIFY_WITH_TIMEOUT(showsBook(), 30000);
    QTest::qWait(1500);
}

bool tst_Endurance::showsBook()
{
    QString text;
    bool done = false;
    view()->webPage()->toPlainText([&](const QString &shown) {
        text = shown;
        done = true;
    });
    return QTest::qWaitFor([&] { return done; }, 10000) && text.contains(QLatin1String("Palendor"));
}

// The print and preview dialogs are modal: each is answered from here while its command
// waits. A preview is closed once the engine has drawn its pages (it takes no input before).
void tst_Endurance::answerPrintDialogs()
{
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows) {
        if (!window->isVisible())
            continue;
        if (auto *print = qobject_cast<QPrintDialog *>(window)) {
            print->reject();
            ++m_printDialogsAnswered;
        } else if (auto *preview = qobject_cast<QPrintPreviewDialog *>(window); preview && preview->isEnabled()) {
            m_previewPagesSeen += preview->findChild<QPrintPreviewWidget *>()->pageCount();
            preview->reject();
            ++m_previewsShown;
        }
    }
}

QList<tst_Endurance::Command> tst_Endurance::commands()
{
    const auto always = [] { return true; };
    const auto toolbarShown = [this] { return !m_form->Toolbar1()->isHidden(); };
    const auto click = [this](int index) {
        return [this, index] { QTest::mouseClick(m_form->Toolbar1()->button(index), Qt::LeftButton); };
    };
    const auto choose = [](MenuItem *item) { item->action()->trigger(); };

    QList<Command> list = {
        {"toolbar Back", 80, toolbarShown, click(1)},
        {"toolbar Forward", 60, toolbarShown, click(2)},
        {"toolbar Start Page", 60, toolbarShown, click(3)},
        {"toolbar Find", 40, toolbarShown, click(8)},
        {"toolbar About", 30, toolbarShown, click(10)},
        {"toolbar More Free E-Books", 50, toolbarShown, click(12)},
        {"toolbar Print", 2, toolbarShown, [this, click] { pageAtRest(); click(6)(); }},
        // The window goes; a fresh one takes its place, as after a restart.
        {"toolbar Exit", 2, toolbarShown, [this] {
             QPointer<Form1> closing = m_form;
             QTest::mouseClick(m_form->Toolbar1()->button(14), Qt::LeftButton);
             QTRY_VERIFY(closing.isNull());
             openWindow();
         }},
        {"File > Print Preview", 2, always, [this, choose] { pageAtRest(); choose(m_form->menus()->mnuFilePrintPreview); }},
        {"File > Print", 2, always, [this, choose] { pageAtRest(); choose(m_form->menus()->mnuFilePrint); }},
        {"Edit > Select All", 50, always, [this, choose] { choose(m_form->menus()->mnuEditSelectAll); }},
        {"Edit > Copy", 50, always, [this, choose] { choose(m_form->menus()->mnuEditCopy); }},
        {"View > Toolbar", 50, always, [this, choose] { choose(m_form->menus()->mnuViewtoolbar); }},
        {"View > Faith Bar", 50, always, [this, choose] { choose(m_form->menus()->mnuViewStatusBar); }},
        {"Find", 40, always, [this, choose] { choose(m_form->menus()->mnuFind); }},
        {"About", 30, always, [this, choose] { choose(m_form->menus()->mnuAbout); }},
        {"About box OK", 50, [this] { return aboutBox() != nullptr; }, [this] {
             QTest::mouseClick(aboutBox()->findChild<QPushButton *>(QStringLiteral("OKButton")), Qt::LeftButton);
         }},
        {"About box banner", 10, [this] { return aboutBox() != nullptr; }, [this] {
             QTest::mouseClick(aboutBox()->findChild<QLabel *>(QStringLiteral("Image1")), Qt::LeftButton);
         }},
        {"find dialog: a word", 30, [this] { return findDialog() && findDialog()->isVisible(); }, [this] {
             static const char *const words[] = {"lamp", "faith", "Palendor", "zzzq", ""};
             findDialog()->findChild<QLineEdit *>(QStringLiteral("findText"))
                     ->setText(QLatin1String(words[m_random() % std::size(words)]));
         }},
        {"find dialog closed", 40, [this] { return findDialog() && findDialog()->isVisible(); },
         [this] { findDialog()->reject(); }},
        {"main window activated", 40, always, [this] { m_form->activateWindow(); }},
        {"resize", 80, always, [this] {
             // Evenly over the orders of magnitude, from a pixel to beyond the screen.
             std::uniform_real_distribution<double> magnitude(0, 3.3);
             m_form->resize(int(std::pow(10, magnitude(m_random))), int(std::pow(10, magnitude(m_random))));
         }},
        {"minimise, maximise or restore", 20, always, [this] {
             switch (m_random() % 3) {
             case 0: m_form->showMinimized(); break;
             case 1: m_form->showMaximized(); break;
             default: m_form->showNormal(); break;
             }
         }},
        {"a minute passes", 30, always, [this] { m_platform->manualClock.advance(60000); }},
    };
    for (int index : {4, 5, 7, 9, 11, 13}) {
        // A separator has no button to click; its index reaches the handler all the same.
        list.append({"toolbar separator", 10, toolbarShown,
                     [this, index] { Q_EMIT m_form->Toolbar1()->ButtonClick(ToolbarButton(qint16(index))); }});
    }
    for (qint16 size : {1, 2, 3}) {
        list.append({"Options > Font Size", 30, always, [this, size] {
                         m_form->menus()->fontSizeItem(size)->action()->trigger();
                         m_fontChosen = true;
                     }});
    }
    return list;
}

// What must hold after any command: the View marks say what is shown, one text size at most
// is marked and only after a choice, one About box and one find dialog at most, no error.
void tst_Endurance::checkState(const QString &after)
{
    const QString context = QStringLiteral("after %1; the last commands: %2").arg(after, m_history.join(QLatin1String(", ")));
    QVERIFY2(m_form, qPrintable(context));
    MenuBar *menus = m_form->menus();
    QVERIFY2(menus->mnuViewtoolbar->Checked() == !m_form->Toolbar1()->isHidden(), qPrintable(context));
    QVERIFY2(menus->mnuViewStatusBar->Checked() == !m_form->StatusBar1()->isHidden(), qPrintable(context));
    for (MenuItem *item : {menus->mnuViewtoolbar, menus->mnuViewStatusBar})
        QVERIFY2(item->action()->isChecked() == item->Checked(), qPrintable(context));
    const auto checked = std::count_if(menus->mnuFontSize.cbegin(), menus->mnuFontSize.cend(),
                                       [](MenuItem *item) { return item->Checked() && item->action()->isChecked(); });
    QVERIFY2(checked == (m_fontChosen ? 1 : 0), qPrintable(context));
    const auto windows = QApplication::topLevelWidgets();
    QVERIFY2(std::count_if(windows.cbegin(), windows.cend(), [](QWidget *w) { return qobject_cast<Dialog *>(w) && w->isVisible(); }) <= 1,
             qPrintable(context));
    QVERIFY2(m_form->findChildren<FindDialog *>().size() <= 1, qPrintable(context));
    QVERIFY2(m_platform->runtimeErrors.isEmpty(), qPrintable(m_platform->runtimeErrors.join(QLatin1Char('\n')) + context));
}

void tst_Endurance::thousandsOfRandomCommandsLeaveAWorkingReader()
{
    m_platform = std::make_unique<TestPlatform>(true);
    m_platform->path = QStringLiteral(AMBERVALE_BINARY);
    // A fixed seed: a failing run can be repeated command for command.
    m_random.seed(20240611);
    openWindow();
    QSignalSpy loaded(view(), &WebBrowser::loadFinished);
    QTRY_VERIFY_WITH_TIMEOUT(!loaded.isEmpty(), 30000);
    QTRY_VERIFY_WITH_TIMEOUT(showsBook(), 10000);

    QTimer answering;
    connect(&answering, &QTimer::timeout, this, &tst_Endurance::answerPrintDialogs);
    answering.start(20);

    QList<Command> table = commands();
    int totalWeight = 0;
    for (const Command &command : std::as_const(table))
        totalWeight += command.weight;
    const auto runCommands = [&](int count) {
        for (int done = 0; done < count;) {
            int pick = int(m_random() % totalWeight);
            const Command *command = table.data();
            while (pick >= command->weight)
                pick -= (command++)->weight;
            if (!command->possible())
                continue;
            m_history.append(QLatin1String(command->name));
            if (m_history.size() > 12)
                m_history.removeFirst();
            command->run();
            if (QTest::currentTestFailed())
                return;
            // A moment for the engine, as between a reader's clicks.
            QTest::qWait(2);
            checkState(QLatin1String(command->name));
            if (QTest::currentTestFailed())
                return;
            ++done;
        }
    };

    // The first commands settle what the engine keeps for good (its caches, the fonts it has
    // met); memory is measured from there, each time with the reader at rest on its book.
    runCommands(300);
    if (QTest::currentTestFailed())
        return;
    settle();
    if (QTest::currentTestFailed())
        return;
    const MemoryInUse before = memoryInUse();

    runCommands(2700);
    if (QTest::currentTestFailed())
        return;

    // Still a reader: the book shows from its start page, the marks are right.
    settle();
    if (QTest::currentTestFailed())
        return;
    checkState(QStringLiteral("the book shown again"));
    if (!m_fontChosen) {
        m_form->menus()->fontSizeItem(2)->action()->trigger();
        m_fontChosen = true;
        checkState(QStringLiteral("Medium"));
    }
    // Modal dialogs were met and answered, and previews were drawn.
    QVERIFY(m_printDialogsAnswered > 0);
    QVERIFY(m_previewsShown > 0);
    QVERIFY(m_previewPagesSeen > 0);

    const MemoryInUse after = memoryInUse();
    qInfo("memory in use after 300 and after 3000 commands: this process %lld and %lld KiB (%+lld), "
          "its %d and %d helpers %lld and %lld KiB (%+lld); %d windows, %d print dialogs, %d previews",
          before.own, after.own, after.own - before.own, before.processes - 1, after.processes - 1,
          before.helpers, after.helpers, after.helpers - before.helpers,
          m_windowsOpened, m_printDialogsAnswered, m_previewsShown);
    QVERIFY2(after.processes <= before.processes, "the engine kept processes it no longer needs");
    // Measured on the development machine (Debian 12, Qt 6.4, offscreen), fifteen runs: this
    // process grew by 7 to 27 MiB between the two points and levels off at about 46 MiB (it
    // stayed there from command 3000 to 6000); the helpers, whose renderer is replaced at every
    // change of site and holds whatever its page last did, grew by 10 to 48 MiB. The bounds
    // leave twice that: a leak of 25 KiB a command in this process, or of a renderer's worth
    // now and then in the helpers, goes over them.
    QVERIFY2(after.own - before.own < 64 * 1024,
             qPrintable(QStringLiteral("this process grew by %1 KiB").arg(after.own - before.own)));
    QVERIFY2(after.helpers - before.helpers < 96 * 1024,
             qPrintable(QStringLiteral("the engine's helpers grew by %1 KiB").arg(after.helpers - before.helpers)));

    delete m_form;
}

AMBERVALE_TEST_MAIN(tst_Endurance)
#include "tst_endurance.moc"
