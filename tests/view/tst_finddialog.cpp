#include "testmain.h"

#include "view/finddialog.h"
#include "view/webbrowser.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWebEnginePage>

#include <memory>

static constexpr int engineTimeout = 60000;

// "apple" three times, once with a capital.
static const char page[] = "<p>An apple a day.</p><p>Apple pie.</p><p>One more apple.</p>";

class TestFindDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void countsMatches_data();
    void countsMatches();
    void stepsForwardAndBack();
    void escapeClosesAndReopeningSearchesAgain();

private:
    void type(const QString &text);
    void click(const char *button);

    std::unique_ptr<WebBrowser> m_browser;
    std::unique_ptr<FindDialog> m_dialog;
};

void TestFindDialog::initTestCase()
{
    m_browser = std::make_unique<WebBrowser>();
    m_browser->resize(800, 600);
    m_browser->show();
    QSignalSpy loaded(m_browser.get(), &WebBrowser::loadFinished);
    QString address = QStringLiteral("data:text/html,") + QString::fromLatin1(QUrl::toPercentEncoding(page));
    QVERIFY(m_browser->Navigate(address));
    QVERIFY(loaded.wait(engineTimeout));
    QVERIFY(loaded.last().value(0).toBool());
}

void TestFindDialog::init()
{
    m_dialog = std::make_unique<FindDialog>(m_browser->webPage());
    m_dialog->show();
    QVERIFY(QTest::qWaitForWindowActive(m_dialog.get()));
}

void TestFindDialog::cleanup()
{
    m_dialog.reset();
}

void TestFindDialog::cleanupTestCase()
{
    m_browser.reset();
}

void TestFindDialog::type(const QString &text)
{
    auto *field = m_dialog->findChild<QLineEdit *>(QStringLiteral("findText"));
    QVERIFY(field);
    field->clear();
    // Key by key: each one starts a search, and only the last may report.
    QTest::keyClicks(field, text);
}

void TestFindDialog::click(const char *button)
{
    auto *widget = m_dialog->findChild<QPushButton *>(QLatin1String(button));
    QVERIFY(widget);
    QTest::mouseClick(widget, Qt::LeftButton);
}

void TestFindDialog::countsMatches_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<QString>("status");
    QTest::addColumn<bool>("notFound");

    QTest::newRow("word three times") << "apple" << false << "1 of 3" << false;
    QTest::newRow("other case, case ignored") << "APPLE" << false << "1 of 3" << false;
    QTest::newRow("match case") << "Apple" << true << "1 of 1" << false;
    QTest::newRow("match case, no such case") << "APPLE" << true << "Not found" << true;
    QTest::newRow("absent word") << "pear" << false << "Not found" << true;
}

void TestFindDialog::countsMatches()
{
    QFETCH(QString, text);
    QFETCH(bool, matchCase);
    QFETCH(QString, status);
    QFETCH(bool, notFound);

    m_dialog->findChild<QCheckBox *>(QStringLiteral("matchCase"))->setChecked(matchCase);
    type(text);
    QTRY_COMPARE_WITH_TIMEOUT(m_dialog->status(), status, engineTimeout);
    QCOMPARE(m_dialog->isNotFound(), notFound);
    QCOMPARE(m_dialog->findChild<QLabel *>(QStringLiteral("findStatus"))->text(), status);
}

void TestFindDialog::stepsForwardAndBack()
{
    type(QStringLiteral("apple"));
    QTRY_COMPARE_WITH_TIMEOUT(m_dialog->status(), QStringLiteral("1 of 3"), engineTimeout);
    click("findNext");
    QTRY_COMPARE_WITH_TIMEOUT(m_dialog->status(), QStringLiteral("2 of 3"), engineTimeout);
    click("findNext");
    QTRY_COMPARE_WITH_TIMEOUT(m_dialog->status(), QStringLiteral("3 of 3"), engineTimeout);
    click("findNext");
    QTRY_COMPARE_WITH_TIMEOUT(m_dialog->status(), QStringLiteral("1 of 3"), engineTimeout);
    click("findPrevious");
    QTRY_COMPARE_WITH_TIMEOUT(m_dialog->status(), QStringLiteral("3 of 3"), engineTimeout);

    // From the keyboard, in the text field, which the buttons leave the focus in: Return for
    // the next match, Shift+Return back.
    auto *field = m_dialog->findChild<QLineEdit *>(QStringLiteral("findText"));
    QVERIFY(field->hasFocus());
    QTest::keyClick(field, Qt::Key_Return);
    QTRY_COMPARE_WITH_TIMEOUT(m_dialog->status(), QStringLiteral("1 of 3"), engineTimeout);
    QTest::keyClick(field, Qt::Key_Return, Qt::ShiftModifier);
    QTRY_COMPARE_WITH_TIMEOUT(m_dialog->status(), QStringLiteral("3 of 3"), engineTimeout);

    // Not found, then found again: the not-found state must not stick.
    type(QStringLiteral("applex"));
    QTRY_VERIFY_WITH_TIMEOUT(m_dialog->isNotFound(), engineTimeout);
    type(QStringLiteral("apple"));
    QTRY_COMPARE_WITH_TIMEOUT(m_dialog->status(), QStringLiteral("1 of 3"), engineTimeout);
    QVERIFY(!m_dialog->isNotFound());
}

void TestFindDialog::escapeClosesAndReopeningSearchesAgain()
{
    type(QStringLiteral("apple"));
    QTRY_COMPARE_WITH_TIMEOUT(m_dialog->status(), QStringLiteral("1 of 3"), engineTimeout);

    QTest::keyClick(m_dialog->findChild<QLineEdit *>(QStringLiteral("findText")), Qt::Key_Escape);
    QVERIFY(!m_dialog->isVisible());
    QCOMPARE(m_dialog->status(), QString());

    // The highlights went with the dialog; they come back with it, where the engine resumes.
    m_dialog->show();
    QTRY_VERIFY_WITH_TIMEOUT(m_dialog->status().endsWith(QLatin1String(" of 3")), engineTimeout);
}

AMBERVALE_TEST_MAIN(TestFindDialog)
#include "tst_finddialog.moc"
