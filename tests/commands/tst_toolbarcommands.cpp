#include "testmain.h"
#include "testplatform.h"

#include "about/dialog.h"
#include "commands/toolbarcommands.h"
#include "shell/form1.h"
#include "shell/imagelist.h"
#include "shell/toolbar.h"

#include <QToolButton>

class tst_ToolbarCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void buttonTable_data();
    void buttonTable();
    void clickRaisesButtonClickOnce();
    void dispatch_data();
    void dispatch();
    void exitClosesOnlyTheMainWindow();

private:
    struct Window
    {
        ~Window() { delete form; }
        TestPlatform platform;
        QPointer<Form1> form;
    };
    static void open(Window &window);
};

void tst_ToolbarCommands::open(Window &window)
{
    window.form = new Form1(window.platform);
    window.form->show();
    QVERIFY(QTest::qWaitForWindowActive(window.form));
    window.platform.recordingView()->calls.clear();
}

void tst_ToolbarCommands::buttonTable_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("caption"); // empty: a separator
    QTest::addColumn<int>("picture");

    QTest::newRow("1 Back") << 1 << "Back" << 3;
    QTest::newRow("2 Forward") << 2 << "Forward" << 4;
    QTest::newRow("3 Start Page") << 3 << "Start Page" << 2;
    QTest::newRow("4 separator") << 4 << "" << 0;
    QTest::newRow("5 separator") << 5 << "" << 0;
    QTest::newRow("6 Print") << 6 << "Print" << 6;
    QTest::newRow("7 separator") << 7 << "" << 0;
    QTest::newRow("8 Find") << 8 << "Find" << 5;
    QTest::newRow("9 separator") << 9 << "" << 0;
    QTest::newRow("10 About") << 10 << "About" << 7;
    QTest::newRow("11 separator") << 11 << "" << 0;
    QTest::newRow("12 More Free E-Books") << 12 << "More Free E-Books" << 9;
    QTest::newRow("13 separator") << 13 << "" << 0;
    QTest::newRow("14 Exit") << 14 << "Exit" << 8;
}

void tst_ToolbarCommands::buttonTable()
{
    QFETCH(int, index);
    QFETCH(QString, caption);
    QFETCH(int, picture);

    TestPlatform platform;
    Form1 form(platform);
    Toolbar *toolbar = form.Toolbar1();
    QCOMPARE(toolbar->buttonCount(), 14);
    QToolButton *button = toolbar->button(index);
    if (caption.isEmpty()) {
        QVERIFY(!button);
        QCOMPARE(toolbar->entry(index).style, ToolbarEntry::Separator);
        return;
    }
    QVERIFY(button);
    QCOMPARE(button->text(), caption);
    QCOMPARE(button->accessibleName(), caption);
    QCOMPARE(button->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
    QCOMPARE(toolbar->entry(index).picture, picture);
    // The button shows the image list's picture: compare what it draws with the picture itself.
    const QImage shown = button->icon().pixmap(32, 32).toImage();
    const QImage expected = form.ImageList1()->picture(picture).pixmap(32, 32).toImage();
    QVERIFY(!shown.isNull());
    QCOMPARE(shown.convertToFormat(QImage::Format_ARGB32), expected.convertToFormat(QImage::Format_ARGB32));
}

void tst_ToolbarCommands::clickRaisesButtonClickOnce()
{
    Window window;
    open(window);
    QSignalSpy clicks(window.form->Toolbar1(), &Toolbar::ButtonClick);
    for (int index : {1, 2, 3, 6, 8, 12}) {
        clicks.clear();
        QTest::mouseClick(window.form->Toolbar1()->button(index), Qt::LeftButton);
        QCOMPARE(clicks.size(), 1);
        QCOMPARE(clicks.at(0).at(0).value<ToolbarButton>().Index(), qint16(index));
    }
}

void tst_ToolbarCommands::dispatch_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QStringList>("calls");
    QTest::addColumn<bool>("aboutShown");

    const QStringList none;
    QTest::newRow("1 Back") << 1 << QStringList{"GoBack"} << false;
    QTest::newRow("2 Forward") << 2 << QStringList{"GoForward"} << false;
    QTest::newRow("3 Start Page")
            << 3 << QStringList{"Navigate(res:///opt/books\\ambervale.exe/d.htm)"} << false;
    QTest::newRow("4 separator") << 4 << none << false;
    QTest::newRow("5 separator") << 5 << none << false;
    QTest::newRow("6 Print") << 6 << QStringList{"ExecWB(6,1)"} << false;
    QTest::newRow("7 separator") << 7 << none << false;
    QTest::newRow("8 Find") << 8 << QStringList{"SetFocus", "Key(Ctrl+F)"} << false;
    QTest::newRow("9 separator") << 9 << none << false;
    QTest::newRow("10 About") << 10 << none << true;
    QTest::newRow("11 separator") << 11 << none << false;
    QTest::newRow("12 More Free E-Books") << 12 << QStringList{"Navigate2(http://www.palendor.example/)"} << false;
    QTest::newRow("13 separator") << 13 << none << false;
    QTest::newRow("0 outside the table") << 0 << none << false;
    QTest::newRow("15 outside the table") << 15 << none << false;
    QTest::newRow("-1 outside the table") << -1 << none << false;
}

void tst_ToolbarCommands::dispatch()
{
    QFETCH(int, index);
    QFETCH(QStringList, calls);
    QFETCH(bool, aboutShown);

    Window window;
    open(window);
    // Through the real button where there is one; a separator's index reaches the handler only
    // if the toolbar raises it, so that is sent as the toolbar would.
    if (QToolButton *button = window.form->Toolbar1()->button(index))
        QTest::mouseClick(button, Qt::LeftButton);
    else
        Q_EMIT window.form->Toolbar1()->ButtonClick(ToolbarButton(qint16(index)));

    QCOMPARE(window.platform.recordingView()->calls, calls);
    QCOMPARE(window.platform.aboutBox().dialog() != nullptr, aboutShown);
    QVERIFY(window.form->isVisible());
    QVERIFY(window.platform.runtimeErrors.isEmpty());
    delete window.platform.aboutBox().dialog();
    delete window.form;
}

void tst_ToolbarCommands::exitClosesOnlyTheMainWindow()
{
    Window window;
    open(window);
    QTest::mouseClick(window.form->Toolbar1()->button(10), Qt::LeftButton);
    QPointer<Dialog> about = window.platform.aboutBox().dialog();
    QVERIFY(about && about->isVisible());

    QTest::mouseClick(window.form->Toolbar1()->button(14), Qt::LeftButton);
    // The tests after Exit found no match and touched nothing.
    QVERIFY(window.platform.recordingView()->calls.isEmpty());
    QTRY_VERIFY(window.form.isNull());
    QVERIFY(about && about->isVisible());
    QCOMPARE(window.platform.endCount, 0);
    delete about;
}

AMBERVALE_TEST_MAIN(tst_ToolbarCommands)
#include "tst_toolbarcommands.moc"
