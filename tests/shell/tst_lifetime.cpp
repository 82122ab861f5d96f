#include "testmain.h"
#include "testplatform.h"

#include "about/dialog.h"
#include "shell/desktopplatform.h"
#include "shell/form1.h"
#include "shell/lifetime.h"
#include "shell/splash.h"

#include <QMessageBox>

class tst_Lifetime : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void mainWindowClosedAloneEndsTheProgram();
    void aboutBoxKeepsTheProgramRunning();
    void handlerClosingOneWindowAndOpeningAnotherDoesNotEnd();
    void splashShowsMainWindowAfterItsTimer();
    void splashClosedEarlyNeverShowsMainWindow();
    void splashIgnoresClicksAndKeys();
    void runtimeErrorReportsAndEndsWithNonZeroCode();
    void endProgramHidesEveryWindowAndEnds();
};

static QList<QWidget *> visibleWindows()
{
    QList<QWidget *> out;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->isVisible() && !w->parentWidget())
            out.append(w);
    return out;
}

void tst_Lifetime::mainWindowClosedAloneEndsTheProgram()
{
    Lifetime lifetime;
    QSignalSpy ended(&lifetime, &Lifetime::ended);
    TestPlatform platform;
    auto *form = new Form1(platform);
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    form->close();
    // Decided only once the event loop runs again.
    QCOMPARE(ended.size(), 0);
    QTRY_COMPARE(ended.size(), 1);
}

void tst_Lifetime::aboutBoxKeepsTheProgramRunning()
{
    Lifetime lifetime;
    QSignalSpy ended(&lifetime, &Lifetime::ended);
    TestPlatform platform;
    auto *form = new Form1(platform);
    form->show();
    platform.aboutBox().show();
    QPointer<Dialog> about = platform.aboutBox().dialog();
    form->close();
    QTest::qWait(50);
    QCOMPARE(ended.size(), 0);
    QVERIFY(about && about->isVisible());
    about->close();
    QTRY_COMPARE(ended.size(), 1);
}

void tst_Lifetime::handlerClosingOneWindowAndOpeningAnotherDoesNotEnd()
{
    Lifetime lifetime;
    QSignalSpy ended(&lifetime, &Lifetime::ended);
    QWidget first;
    first.show();
    QWidget second;
    QTimer::singleShot(0, &first, [&] {
        first.close();
        second.show();
    });
    QTest::qWait(100);
    QCOMPARE(ended.size(), 0);
    second.close();
    QTRY_COMPARE(ended.size(), 1);
}

void tst_Lifetime::splashShowsMainWindowAfterItsTimer()
{
    TestPlatform platform;
    QPointer<Splash> splash = new Splash(platform);
    QCOMPARE(splash->geometry(), QRect(245, 211, 364, 130));
    QVERIFY(splash->windowFlags().testFlag(Qt::FramelessWindowHint));
    QCOMPARE(splash->windowType(), Qt::SplashScreen);
    QVERIFY(splash->Timer1()->isActive());
    QCOMPARE(splash->Timer1()->interval(), 3000);
    splash->show();
    QVERIFY(QTest::qWaitForWindowExposed(splash));

    // The picture at its natural size from the corner, cut off, not scaled.
    const QImage shown = splash->grab().toImage();
    const QImage picture(QStringLiteral(":/splash.gif"));
    QCOMPARE(picture.size(), QSize(413, 168));
    for (const QPoint &at : {QPoint(0, 0), QPoint(120, 40), QPoint(363, 129), QPoint(300, 100)})
        QCOMPARE(shown.pixelColor(at), picture.pixelColor(at));

    QTest::qWait(2500);
    QCOMPARE(visibleWindows(), QList<QWidget *>{splash.data()});
    QTRY_VERIFY_WITH_TIMEOUT(splash.isNull(), 2000);
    const auto windows = visibleWindows();
    QCOMPARE(windows.size(), 1);
    QVERIFY(qobject_cast<Form1 *>(windows.first()));
    delete windows.first();
}

void tst_Lifetime::splashClosedEarlyNeverShowsMainWindow()
{
    Lifetime lifetime;
    QSignalSpy ended(&lifetime, &Lifetime::ended);
    TestPlatform platform;
    auto *splash = new Splash(platform);
    splash->show();
    splash->close();
    QTRY_COMPARE(ended.size(), 1);
    QTest::qWait(3300);
    QVERIFY(visibleWindows().isEmpty());
}

void tst_Lifetime::splashIgnoresClicksAndKeys()
{
    TestPlatform platform;
    Splash splash(platform);
    splash.show();
    QVERIFY(QTest::qWaitForWindowExposed(&splash));
    QTest::mouseClick(&splash, Qt::LeftButton);
    QTest::keyClick(&splash, Qt::Key_Escape);
    QTest::keyClick(&splash, Qt::Key_F4, Qt::AltModifier);
    QVERIFY(splash.isVisible());
    QVERIFY(splash.Timer1()->isActive());
}

void tst_Lifetime::runtimeErrorReportsAndEndsWithNonZeroCode()
{
    DesktopPlatform platform;
    QString shownText;
    QTimer::singleShot(0, [&platform] { platform.runtimeError(QStringLiteral("Object required")); });
    // Read and dismiss the message box as a reader would.
    QTimer poll;
    connect(&poll, &QTimer::timeout, [&] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (auto *box = qobject_cast<QMessageBox *>(w); box && box->isVisible()) {
                shownText = box->text();
                box->accept();
            }
        }
    });
    poll.start(20);
    QWidget window;
    window.show();
    const int code = QApplication::exec();
    QVERIFY2(shownText.contains(QLatin1String("Object required")), qPrintable(shownText));
    QVERIFY(shownText.contains(QLatin1String("Run-time error")));
    QCOMPARE(code, 1);
    QVERIFY(!window.isVisible());
}

void tst_Lifetime::endProgramHidesEveryWindowAndEnds()
{
    DesktopPlatform platform;
    QWidget main;
    QWidget other;
    main.show();
    other.show();
    QTimer::singleShot(0, [&platform] { platform.endProgram(); });
    QCOMPARE(QApplication::exec(), 0);
    QVERIFY(!main.isVisible());
    QVERIFY(!other.isVisible());
}

AMBERVALE_TEST_MAIN(tst_Lifetime)
#include "tst_lifetime.moc"
