#include "testmain.h"
#include "testplatform.h"

#include "commands/menubar.h"
#include "commands/menuitem.h"
#include "shell/form1.h"
#include "shell/statusbar.h"
#include "shell/toolbar.h"

class tst_ViewToggles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sequences_data();
    void sequences();
};

void tst_ViewToggles::sequences_data()
{
    // T: View > Toolbar, F: View > Faith Bar, R: the window grows by 20 pixels in height.
    QTest::addColumn<QString>("steps");
    QTest::addColumn<bool>("toolbarShown");
    QTest::addColumn<bool>("faithBarShown");
    QTest::addColumn<float>("top");
    // Height against the height the resize rule gives for the window as it ends up.
    QTest::addColumn<float>("extraHeight");

    QTest::newRow("nothing") << "" << true << true << 720.0f << 0.0f;
    QTest::newRow("hide toolbar") << "T" << false << true << 100.0f << 500.0f;
    QTest::newRow("hide and show toolbar") << "TT" << true << true << 700.0f << 500.0f;
    QTest::newRow("two hides and shows") << "TTTT" << true << true << 700.0f << 1000.0f;
    QTest::newRow("three hides") << "TTTTT" << false << true << 100.0f << 1500.0f;
    QTest::newRow("hide, resize, show") << "TRT" << true << true << 700.0f << 0.0f;
    QTest::newRow("resize while hidden") << "TR" << false << true << 100.0f << 0.0f;
    QTest::newRow("faith bar never moves the view") << "FFF" << true << false << 720.0f << 0.0f;
    QTest::newRow("faith bar shown again") << "FF" << true << true << 720.0f << 0.0f;
    QTest::newRow("toggles are independent") << "TF" << false << false << 100.0f << 500.0f;
    QTest::newRow("faith bar between toolbar toggles") << "TFT" << true << false << 700.0f << 500.0f;
}

void tst_ViewToggles::sequences()
{
    QFETCH(QString, steps);
    QFETCH(bool, toolbarShown);
    QFETCH(bool, faithBarShown);
    QFETCH(float, top);
    QFETCH(float, extraHeight);

    TestPlatform platform;
    Form1 form(platform);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const float startWidth = form.WebBrowser1()->Width();
    MenuBar *menus = form.menus();
    for (QChar step : steps) {
        if (step == QLatin1Char('T')) {
            menus->mnuViewtoolbar->action()->trigger();
        } else if (step == QLatin1Char('F')) {
            menus->mnuViewStatusBar->action()->trigger();
        } else {
            const QSize before = form.size();
            form.resize(before + QSize(0, 20));
            QTRY_COMPARE(form.size(), before + QSize(0, 20));
        }
    }

    QCOMPARE(menus->mnuViewtoolbar->Checked(), toolbarShown);
    QCOMPARE(menus->mnuViewtoolbar->action()->isChecked(), toolbarShown);
    QCOMPARE(form.Toolbar1()->isVisible(), toolbarShown);
    QCOMPARE(menus->mnuViewStatusBar->Checked(), faithBarShown);
    QCOMPARE(menus->mnuViewStatusBar->action()->isChecked(), faithBarShown);
    QCOMPARE(form.StatusBar1()->isVisible(), faithBarShown);
    QCOMPARE(form.WebBrowser1()->Top(), top);
    QCOMPARE(form.WebBrowser1()->Height(), form.outerHeight() - 1700 + extraHeight);
    QCOMPARE(form.WebBrowser1()->Left(), 120.0f);
    QCOMPARE(form.WebBrowser1()->Width(), startWidth);
    QCOMPARE(form.WebBrowser1()->geometry().top(), qRound(top / 15));
    QVERIFY(platform.runtimeErrors.isEmpty());
}

AMBERVALE_TEST_MAIN(tst_ViewToggles)
#include "tst_viewtoggles.moc"
