#include "testmain.h"
#include "testplatform.h"

#include "commands/menubar.h"
#include "commands/menuitem.h"
#include "faithbar/quotationchain.h"
#include "faithbar/quotations.h"
#include "faithbar/timer.h"
#include "shell/form1.h"
#include "shell/statusbar.h"
#include "shell/toolbar.h"
#include "shell/twips.h"

#include <QMenuBar>

class tst_Form1 : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void placeAndSizeInTwips();
    void controlsCreatedInOrderBeforeLoad();
    void loadSetsTheStartState();
    void loadGoesOnAfterAFailingStep();
    void firstShowSizesTheView();
    void resizeRule_data();
    void resizeRule();
    void barsFollowTheClientWidth();
    void tabOrder();
    void closingStopsTheQuotationTimers();
};

static QRect twipsRect(const QRect &pixels)
{
    return QRect(int(Twips::fromPixels(pixels.x())), int(Twips::fromPixels(pixels.y())),
                 int(Twips::fromPixels(pixels.width())), int(Twips::fromPixels(pixels.height())));
}

void tst_Form1::placeAndSizeInTwips()
{
    TestPlatform platform;
    Form1 form(platform);
    QCOMPARE(form.windowTitle(), QStringLiteral("Ambervale"));
    QVERIFY(!form.windowIcon().isNull());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));

    // The stored place is the client area's, below the menu bar.
    const QPoint clientOnScreen = form.clientArea()->mapToGlobal(QPoint(0, 0));
    QCOMPARE(Twips::fromPixels(clientOnScreen.x()), 1740.0f);
    QCOMPARE(Twips::fromPixels(clientOnScreen.y()), 2055.0f);
    QCOMPARE(twipsRect(form.clientArea()->rect()).size(), QSize(8385, 5055));

    const QRect toolbar = twipsRect(form.Toolbar1()->geometry());
    QCOMPARE(toolbar.topLeft(), QPoint(0, 0));
    QCOMPARE(toolbar.width(), 8385);
    QVERIFY(toolbar.height() >= 660);
    QCOMPARE(twipsRect(form.StatusBar1()->geometry()), QRect(0, 4800, 8385, 255));
    QCOMPARE(form.WebBrowser1()->Left(), 120.0f);
    QCOMPARE(form.WebBrowser1()->Top(), 720.0f);
    // The bars lie above the view where they overlap.
    const QObjectList stack = form.clientArea()->children();
    QVERIFY(stack.indexOf(form.WebBrowser1()) < stack.indexOf(form.Toolbar1()));
    QVERIFY(stack.indexOf(form.WebBrowser1()) < stack.indexOf(form.StatusBar1()));
}

void tst_Form1::controlsCreatedInOrderBeforeLoad()
{
    TestPlatform platform;
    QStringList created;
    platform.prepareView = [&platform, &created](RecordingView &) {
        // The view is made after the timers, the image list, the toolbar and the faith bar.
        for (const char *name : {"Timer20", "Timer1", "ImageList1", "Toolbar1", "StatusBar1"}) {
            const auto windows = QApplication::topLevelWidgets();
            bool found = false;
            for (QObject *root : windows)
                found = found || root->findChild<QObject *>(QLatin1String(name)) != nullptr;
            if (found)
                created.append(QLatin1String(name));
        }
    };
    Form1 form(platform);
    QCOMPARE(created, QStringList({"Timer20", "Timer1", "ImageList1", "Toolbar1", "StatusBar1"}));

    // Timer20 first, down to Timer1, all armed.
    QStringList timerOrder;
    for (QObject *child : form.quotationChain()->children())
        if (child->objectName().startsWith(QLatin1String("Timer")))
            timerOrder.append(child->objectName());
    QStringList expected;
    for (int k = 20; k >= 1; --k)
        expected.append(QStringLiteral("Timer%1").arg(k));
    QCOMPARE(timerOrder, expected);
    for (int k = 1; k <= 20; ++k)
        QVERIFY(form.quotationChain()->timer(k)->isEnabled());

    // Load ran with every control in place: the view was asked to navigate, the menus are checked.
    QCOMPARE(platform.recordingView()->calls.size(), 1);
    QVERIFY(form.menus()->mnuViewtoolbar->Checked());
}

void tst_Form1::loadSetsTheStartState()
{
    TestPlatform platform;
    platform.path = QStringLiteral("/opt/my books/ambervale");
    Form1 form(platform);
    QCOMPARE(platform.recordingView()->calls,
             QStringList{QStringLiteral("Navigate(res:///opt/my books\\ambervale.exe/d.htm)")});
    QVERIFY(form.menus()->mnuViewStatusBar->Checked());
    QVERIFY(form.menus()->mnuViewtoolbar->Checked());
    QCOMPARE(form.StatusBar1()->Panels(1).Text(),
             QStringLiteral("Faith is the substance of things hoped for,the evidence of things not seen. - Hebrews 11:1"));
    QVERIFY(!form.Toolbar1()->isHidden());
    QVERIFY(!form.StatusBar1()->isHidden());
    for (MenuItem *item : form.menus()->mnuFontSize)
        QVERIFY(!item->Checked());
    QVERIFY(platform.runtimeErrors.isEmpty());
}

void tst_Form1::loadGoesOnAfterAFailingStep()
{
    TestPlatform platform;
    platform.prepareView = [](RecordingView &view) { view.throwing.insert(QStringLiteral("Navigate")); };
    Form1 form(platform);
    QCOMPARE(platform.recordingView()->calls.size(), 1);
    QVERIFY(form.menus()->mnuViewStatusBar->Checked());
    QVERIFY(form.menus()->mnuViewtoolbar->Checked());
    QCOMPARE(form.StatusBar1()->Panels(1).Text(), QString::fromLatin1(OpeningQuotation));
    QVERIFY(!form.Toolbar1()->isHidden());
    // A failure-tolerant handler reports nothing.
    QVERIFY(platform.runtimeErrors.isEmpty());
}

void tst_Form1::firstShowSizesTheView()
{
    TestPlatform platform;
    Form1 form(platform);
    QCOMPARE(form.WebBrowser1()->Width(), 8175.0f);
    QCOMPARE(form.WebBrowser1()->Height(), 3855.0f);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(form.WebBrowser1()->Width(), form.outerWidth() - 300);
    QCOMPARE(form.WebBrowser1()->Height(), form.outerHeight() - 1700);
    QCOMPARE(form.WebBrowser1()->geometry(),
             QRect(8, 48, Twips::toPixels(form.outerWidth() - 300), Twips::toPixels(form.outerHeight() - 1700)));
}

void tst_Form1::resizeRule_data()
{
    QTest::addColumn<QSize>("outer"); // pixels
    QTest::addColumn<float>("width"); // twips; -1: unchanged
    QTest::addColumn<float>("height");

    QTest::newRow("large") << QSize(1000, 700) << 14700.0f << 8800.0f;
    QTest::newRow("width below 300 twips keeps the width") << QSize(19, 400) << -1.0f << 4300.0f;
    QTest::newRow("width of exactly 300 twips gives zero") << QSize(20, 400) << 0.0f << 4300.0f;
    QTest::newRow("height below 1700 twips keeps the height") << QSize(500, 113) << 7200.0f << -1.0f;
    QTest::newRow("height just above 1700 twips") << QSize(500, 114) << 7200.0f << 10.0f;
    QTest::newRow("both below") << QSize(10, 50) << -1.0f << -1.0f;
}

void tst_Form1::resizeRule()
{
    QFETCH(QSize, outer);
    QFETCH(float, width);
    QFETCH(float, height);

    TestPlatform platform;
    Form1 form(platform);
    form.setMinimumSize(1, 1);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    // The platform's own frame counts as part of the outer size.
    const QSize frame = form.frameGeometry().size() - form.geometry().size();
    form.resize(QSize(700, 500) - frame);
    QTRY_COMPARE(form.frameGeometry().size(), QSize(700, 500));
    QCOMPARE(form.WebBrowser1()->Width(), 700 * 15.0f - 300);
    QCOMPARE(form.WebBrowser1()->Height(), 500 * 15.0f - 1700);

    form.resize(outer - frame);
    QTRY_COMPARE(form.frameGeometry().size(), outer);
    QCOMPARE(form.outerWidth(), outer.width() * 15.0f);
    QCOMPARE(form.outerHeight(), outer.height() * 15.0f);
    QCOMPARE(form.WebBrowser1()->Width(), width < 0 ? 700 * 15.0f - 300 : width);
    QCOMPARE(form.WebBrowser1()->Height(), height < 0 ? 500 * 15.0f - 1700 : height);
    // Resize never moves the view.
    QCOMPARE(form.WebBrowser1()->Left(), 120.0f);
    QCOMPARE(form.WebBrowser1()->Top(), 720.0f);
}

void tst_Form1::barsFollowTheClientWidth()
{
    TestPlatform platform;
    Form1 form(platform);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.resize(900, 600);
    QTRY_COMPARE(form.Toolbar1()->width(), form.clientArea()->width());
    QCOMPARE(form.StatusBar1()->width(), form.clientArea()->width());
    QCOMPARE(form.StatusBar1()->geometry().bottom(), form.clientArea()->height() - 1);
}

void tst_Form1::tabOrder()
{
    TestPlatform platform;
    Form1 form(platform);
    // Walking the focus chain from the view meets the faith bar before the toolbar.
    QList<QWidget *> met;
    for (QWidget *next = form.WebBrowser1()->nextInFocusChain(); next && next != form.WebBrowser1();
         next = next->nextInFocusChain()) {
        if (next == form.StatusBar1() || next == form.Toolbar1())
            met.append(next);
    }
    QCOMPARE(met, (QList<QWidget *>{form.StatusBar1(), form.Toolbar1()}));
}

void tst_Form1::closingStopsTheQuotationTimers()
{
    TestPlatform platform;
    QPointer<Form1> form = new Form1(platform);
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    platform.manualClock.advanceTo(60000);
    QCOMPARE(form->StatusBar1()->Panels(1).Text(), quotation(1));
    form->close();
    platform.manualClock.advanceTo(180000);
    QTRY_VERIFY(form.isNull());
    platform.manualClock.advanceTo(600000);
    QVERIFY(platform.runtimeErrors.isEmpty());
}

AMBERVALE_TEST_MAIN(tst_Form1)
#include "tst_form1.moc"
