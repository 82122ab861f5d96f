#include "testmain.h"
#include "testplatform.h"

#include "about/dialog.h"
#include "commands/menubar.h"
#include "commands/menuitem.h"
#include "shell/form1.h"
#include "shell/toolbar.h"

#include <QMenu>
#include <QMenuBar>

class tst_MenuBar : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void structure();
    void commands_data();
    void commands();
    void failingViewReportsNothing_data();
    void failingViewReportsNothing();
    void aboutShowsOneBox();
    void exitEndsTheProgramWithTheAboutBoxOpen();
    void findFromMenuAndToolbarAlike();
};

static QStringList describe(const QList<QAction *> &actions)
{
    QStringList out;
    for (QAction *action : actions) {
        QString entry = action->objectName() + QLatin1Char('=') + action->text();
        if (action->isChecked())
            entry += QStringLiteral(" [x]");
        if (action->isSeparator())
            entry = QStringLiteral("separator");
        out.append(entry);
        if (!action->shortcut().isEmpty())
            entry += QStringLiteral(" shortcut ") + action->shortcut().toString();
        if (!action->isEnabled() || !action->isVisible())
            entry += QStringLiteral(" unavailable");
        if (action->menu())
            out.append(QStringLiteral("{") + describe(action->menu()->actions()).join(QLatin1String(", ")) + QStringLiteral("}"));
    }
    return out;
}

void tst_MenuBar::structure()
{
    TestPlatform platform;
    Form1 form(platform);
    const QStringList expected = {
        "mnuFile=File",
        "{mnuFilePrintPreview=Print Preview, mnuFilePrint=Print, mnuFileExit=E&xit}",
        "mnuEdit=Edit",
        "{mnuEditSelectAll=Select All, mnuEditCopy=Copy}",
        "mnuView=View",
        "{mnuViewtoolbar=Toolbar [x], mnuViewStatusBar=Faith Bar [x]}",
        "mnuOptions=Options",
        "{mnuOptionsFontSize=Font Size, {mnuFontSize=Smaller, mnuFontSize=Medium, mnuFontSize=Larger}}",
        "mnuFind=Find",
        "mnuAbout=About",
    };
    QCOMPARE(describe(form.menuBar()->actions()), expected);
    QCOMPARE(form.menus()->mnuFontSize.size(), 3);
    QVERIFY(!form.menus()->fontSizeItem(0));
    QVERIFY(!form.menus()->fontSizeItem(4));
}

void tst_MenuBar::commands_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QStringList>("calls");

    QTest::newRow("Print Preview") << "mnuFilePrintPreview" << QStringList{"ExecWB(7,1)"};
    QTest::newRow("Print prints like the toolbar") << "mnuFilePrint" << QStringList{"ExecWB(6,1)"};
    QTest::newRow("Select All") << "mnuEditSelectAll" << QStringList{"ExecWB(17,2)"};
    QTest::newRow("Copy") << "mnuEditCopy" << QStringList{"ExecWB(12,2)"};
    QTest::newRow("Find") << "mnuFind" << QStringList{"SetFocus", "Key(Ctrl+F)"};
    QTest::newRow("menus themselves do nothing") << "mnuFile" << QStringList{};
}

void tst_MenuBar::commands()
{
    QFETCH(QString, item);
    QFETCH(QStringList, calls);

    TestPlatform platform;
    Form1 form(platform);
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    platform.recordingView()->calls.clear();
    form.menus()->findChild<MenuItem *>(item)->action()->trigger();
    QCOMPARE(platform.recordingView()->calls, calls);
    QCOMPARE(platform.endCount, 0);
    QVERIFY(platform.runtimeErrors.isEmpty());
}

void tst_MenuBar::failingViewReportsNothing_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("view refuses") << "failing";
    QTest::newRow("view throws") << "throwing";
}

void tst_MenuBar::failingViewReportsNothing()
{
    QFETCH(QString, how);
    TestPlatform platform;
    platform.prepareView = [how](RecordingView &view) {
        QSet<QString> &set = how == QLatin1String("failing") ? view.failing : view.throwing;
        set = {"ExecWB", "SetFocus"};
    };
    Form1 form(platform);
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    platform.recordingView()->calls.clear();
    for (MenuItem *item : {form.menus()->mnuFilePrintPreview, form.menus()->mnuEditSelectAll,
                           form.menus()->mnuEditCopy, form.menus()->mnuFind})
        item->action()->trigger();
    // Find's keystroke still goes to whatever has the focus after the refused SetFocus.
    QCOMPARE(platform.recordingView()->calls.first(), QStringLiteral("ExecWB(7,1)"));
    QVERIFY(platform.recordingView()->calls.contains(QStringLiteral("SetFocus")));
    QVERIFY(platform.runtimeErrors.isEmpty());
    QVERIFY(form.isVisible());
}

void tst_MenuBar::aboutShowsOneBox()
{
    TestPlatform platform;
    Form1 form(platform);
    form.show();
    form.menus()->mnuAbout->action()->trigger();
    QPointer<Dialog> first = platform.aboutBox().dialog();
    QVERIFY(first && first->isVisible());
    form.menus()->mnuAbout->action()->trigger();
    QCOMPARE(platform.aboutBox().dialog(), first.data());
    const auto windows = QApplication::topLevelWidgets();
    QCOMPARE(std::count_if(windows.cbegin(), windows.cend(),
                           [](QWidget *w) { return qobject_cast<Dialog *>(w) && w->isVisible(); }), 1);
    delete first;
}

void tst_MenuBar::exitEndsTheProgramWithTheAboutBoxOpen()
{
    TestPlatform platform;
    QPointer<Form1> form = new Form1(platform);
    form->show();
    form->menus()->mnuAbout->action()->trigger();
    QPointer<Dialog> about = platform.aboutBox().dialog();
    QVERIFY(about);
    form->menus()->mnuFileExit->action()->trigger();
    QCOMPARE(platform.endCount, 1);
    QTRY_VERIFY(form.isNull());
    QTRY_VERIFY(about.isNull());
}

void tst_MenuBar::findFromMenuAndToolbarAlike()
{
    TestPlatform platform;
    Form1 form(platform);
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    platform.recordingView()->calls.clear();
    form.menus()->mnuFind->action()->trigger();
    const QStringList fromMenu = platform.recordingView()->calls;
    platform.recordingView()->calls.clear();
    Q_EMIT form.Toolbar1()->ButtonClick(ToolbarButton(8));
    QCOMPARE(platform.recordingView()->calls, fromMenu);
}

AMBERVALE_TEST_MAIN(tst_MenuBar)
#include "tst_menubar.moc"
