#include "testmain.h"

#include "shell/desktopplatform.h"
#include "view/startpage.h"
#include "view/webbrowser.h"

#include <QWebEnginePage>
#include <QWebEngineHistory>

class tst_DesktopPlatform : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void warmViewIsHandedOverWithItsPage();
    void coldViewWithoutWarmUp();
};

void tst_DesktopPlatform::warmViewIsHandedOverWithItsPage()
{
    DesktopPlatform platform;
    platform.warmUp();
    QWidget window;
    auto *view = qobject_cast<WebBrowser *>(platform.createDocumentView(&window));
    QVERIFY(view);
    QCOMPARE(view->parentWidget(), &window);
    QVERIFY(!view->testAttribute(Qt::WA_DontShowOnScreen));
    QSignalSpy started(view->webPage(), &QWebEnginePage::loadStarted);
    QSignalSpy finished(view, &WebBrowser::loadFinished);
    QTRY_VERIFY_WITH_TIMEOUT(view->webPage()->url().scheme() == QLatin1String("res"), 30000);

    // The main window's first navigation to the same address keeps the page it already has...
    QString address = StartPage::address(platform.executablePath());
    started.clear();
    QVERIFY(view->Navigate(address));
    QTest::qWait(300);
    QCOMPARE(started.size(), 0);
    // ...so the history holds one page, and Back has nowhere to go.
    QVERIFY(!view->GoBack());
    // Only that first one: Start Page later loads the book afresh.
    QVERIFY(view->Navigate(address));
    QTRY_VERIFY_WITH_TIMEOUT(started.size() == 1, 30000);
    // A second view is a new one, not the handed-over one again.
    DocumentView *second = platform.createDocumentView(&window);
    QVERIFY(second != view);
}

void tst_DesktopPlatform::coldViewWithoutWarmUp()
{
    DesktopPlatform platform;
    QWidget window;
    auto *view = qobject_cast<WebBrowser *>(platform.createDocumentView(&window));
    QVERIFY(view);
    QSignalSpy started(view->webPage(), &QWebEnginePage::loadStarted);
    QString address = StartPage::address(platform.executablePath());
    QVERIFY(view->Navigate(address));
    QTRY_VERIFY_WITH_TIMEOUT(started.size() == 1, 30000);
}

AMBERVALE_TEST_MAIN(tst_DesktopPlatform)
#include "tst_desktopplatform.moc"
