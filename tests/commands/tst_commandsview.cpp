#include "testmain.h"
#include "testplatform.h"

#include "commands/menubar.h"
#include "commands/menuitem.h"
#include "shell/form1.h"
#include "shell/toolbar.h"
#include "view/finddialog.h"
#include "view/webbrowser.h"

#include <QClipboard>
#include <QToolButton>
#include <QWebEnginePage>
#include <QWebEngineView>

// The commands end to end, on the real view showing the book out of the built program.
class tst_CommandsView : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void backRightAfterStartChangesNothing();
    void makerSiteThenBackReturnsToTheBook();
    void startPageShowsTheBookFromItsBeginning();
    void selectAllThenCopy();
    void findFromMenuAndToolbarOpensOneDialog();
    void largerTextIsLargerThanSmaller();
    void printWhileLoadingIsRefused();

private:
    WebBrowser *view() const { return static_cast<WebBrowser *>(m_form->WebBrowser1()); }
    QString evaluate(const QString &script);
    void click(int index) { QTest::mouseClick(m_form->Toolbar1()->button(index), Qt::LeftButton); }
    bool showsBook() { return evaluate(QStringLiteral("document.body ? document.body.innerText : ''")).contains(QLatin1String("Palendor")); }

    std::unique_ptr<TestPlatform> m_platform;
    QPointer<Form1> m_form;
};

QString tst_CommandsView::evaluate(const QString &script)
{
    QString result;
    bool done = false;
    view()->webPage()->runJavaScript(script, [&](const QVariant &value) {
        result = value.toString();
        done = true;
    });
    if (!QTest::qWaitFor([&] { return done; }, 10000))
        return QStringLiteral("<no answer>");
    return result;
}

void tst_CommandsView::init()
{
    m_platform = std::make_unique<TestPlatform>(true);
    m_platform->path = QStringLiteral(AMBERVALE_BINARY);
    m_form = new Form1(*m_platform);
    QSignalSpy loaded(view(), &WebBrowser::loadFinished);
    m_form->show();
    QVERIFY(QTest::qWaitForWindowActive(m_form));
    QTRY_VERIFY_WITH_TIMEOUT(!loaded.isEmpty(), 30000);
    QTRY_VERIFY_WITH_TIMEOUT(showsBook(), 10000);
}

void tst_CommandsView::cleanup()
{
    delete m_form;
    m_platform.reset();
}

void tst_CommandsView::backRightAfterStartChangesNothing()
{
    const QUrl before = view()->webPage()->url();
    click(1);
    QTest::qWait(300);
    QCOMPARE(view()->webPage()->url(), before);
    QVERIFY(showsBook());
    QVERIFY(m_platform->runtimeErrors.isEmpty());
}

void tst_CommandsView::makerSiteThenBackReturnsToTheBook()
{
    const QUrl book = view()->webPage()->url();
    click(12);
    QTRY_COMPARE_WITH_TIMEOUT(view()->webPage()->url(), QUrl(QStringLiteral("http://www.palendor.example/")), 20000);
    click(1);
    QTRY_COMPARE_WITH_TIMEOUT(view()->webPage()->url(), book, 20000);
    QTRY_VERIFY_WITH_TIMEOUT(showsBook(), 10000);
}

void tst_CommandsView::startPageShowsTheBookFromItsBeginning()
{
    evaluate(QStringLiteral("window.scrollTo(0, 2000); 'ok'"));
    QTRY_VERIFY(evaluate(QStringLiteral("String(window.scrollY)")).toDouble() > 0);
    click(12);
    QTRY_COMPARE_WITH_TIMEOUT(view()->webPage()->url(), QUrl(QStringLiteral("http://www.palendor.example/")), 20000);
    click(3);
    QTRY_VERIFY_WITH_TIMEOUT(showsBook(), 20000);
    QCOMPARE(evaluate(QStringLiteral("String(window.scrollY)")), QStringLiteral("0"));
}

void tst_CommandsView::selectAllThenCopy()
{
    QApplication::clipboard()->clear();
    m_form->menus()->mnuEditSelectAll->action()->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(view()->webPage()->hasSelection(), 10000);
    m_form->menus()->mnuEditCopy->action()->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(QApplication::clipboard()->text().contains(QLatin1String("Palendor")), 10000);
    QVERIFY(QApplication::clipboard()->text().contains(QLatin1String("The Lamp in the Window")));
}

void tst_CommandsView::findFromMenuAndToolbarOpensOneDialog()
{
    m_form->menus()->mnuFind->action()->trigger();
    QTRY_VERIFY(view()->findDialog() && view()->findDialog()->isVisible());
    QPointer<FindDialog> first = view()->findDialog();
    m_form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_form));
    click(8);
    QCOMPARE(view()->findDialog(), first.data());
    QVERIFY(first->isVisible());
    const auto windows = QApplication::topLevelWidgets();
    QCOMPARE(std::count_if(windows.cbegin(), windows.cend(),
                           [](QWidget *w) { return qobject_cast<FindDialog *>(w) && w->isVisible(); }), 1);
}

void tst_CommandsView::largerTextIsLargerThanSmaller()
{
    const QString measure = QStringLiteral("String(document.body.scrollHeight)");
    MenuItem *smaller = m_form->menus()->fontSizeItem(1);
    MenuItem *larger = m_form->menus()->fontSizeItem(3);
    smaller->action()->trigger();
    QTRY_VERIFY(view()->textSize() == 1);
    QTest::qWait(300);
    const double smallHeight = evaluate(measure).toDouble();
    larger->action()->trigger();
    QTRY_VERIFY(view()->textSize() == 3);
    QTRY_VERIFY_WITH_TIMEOUT(evaluate(measure).toDouble() > smallHeight * 1.2, 10000);
    QVERIFY(larger->Checked());
    QVERIFY(!smaller->Checked());
}

// The engine would drop the request and never answer; the preview would wait for ever.
void tst_CommandsView::printWhileLoadingIsRefused()
{
    click(12);
    QTRY_VERIFY(view()->webPage()->isLoading());
    QVERIFY(!view()->ExecWB(DocumentView::PrintPreview, DocumentView::PromptUser));
    QVERIFY(!view()->ExecWB(DocumentView::Print, DocumentView::PromptUser));
    QTRY_VERIFY_WITH_TIMEOUT(!view()->webPage()->isLoading(), 20000);
}

AMBERVALE_TEST_MAIN(tst_CommandsView)
#include "tst_commandsview.moc"
