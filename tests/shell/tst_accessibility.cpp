#include "testmain.h"
#include "testplatform.h"

#include "commands/menubar.h"
#include "commands/menuitem.h"
#include "faithbar/quotations.h"
#include "shell/form1.h"
#include "shell/statusbar.h"
#include "shell/toolbar.h"
#include "view/finddialog.h"
#include "view/webbrowser.h"

#include <QAccessible>
#include <QClipboard>
#include <QMenu>
#include <QMenuBar>
#include <QToolButton>
#include <QWebEnginePage>

// The reader for someone who uses a screen reader or no mouse: every control has a name that
// assistive technology can read, the faith bar's quotation can be read, and the menus, the
// bars and the book can be reached and used with the keyboard alone.
class tst_Accessibility : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void toolbarButtonsHaveNames();
    void menuItemsHaveNamesAndMarks();
    void faithBarTextIsReadable();
    void altAndArrowKeysChooseAMenuItem_data();
    void altAndArrowKeysChooseAMenuItem();
    void tabVisitsViewFaithBarAndEveryToolbarButton();
    void viewKeysSelectCopyAndFind();

private:
    void openWindow(bool realView);
    // Keys go to the window as the keyboard sends them: to whatever has the focus there.
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(m_form->windowHandle(), key, modifiers);
    }

    std::unique_ptr<TestPlatform> m_platform;
    QPointer<Form1> m_form;
};

// The names of the menu items below an accessible menu bar or menu, depth first, a submenu's
// items after its own name.
static void collectMenuItems(QAccessibleInterface *parent, QStringList &names, QList<QAccessibleInterface *> &items)
{
    for (int i = 0; i < parent->childCount(); ++i) {
        QAccessibleInterface *child = parent->child(i);
        if (!child)
            continue;
        if (child->role() == QAccessible::MenuItem) {
            names.append(child->text(QAccessible::Name));
            items.append(child);
        }
        collectMenuItems(child, names, items);
    }
}

// The interface below `root` (itself included) whose name or value is `text`, if any.
static QAccessibleInterface *findReadable(QAccessibleInterface *root, const QString &text)
{
    if (root->text(QAccessible::Name) == text || root->text(QAccessible::Value) == text)
        return root;
    for (int i = 0; i < root->childCount(); ++i) {
        if (QAccessibleInterface *child = root->child(i)) {
            if (QAccessibleInterface *found = findReadable(child, text))
                return found;
        }
    }
    return nullptr;
}

void tst_Accessibility::openWindow(bool realView)
{
    m_platform = std::make_unique<TestPlatform>(realView);
    if (realView)
        m_platform->path = QStringLiteral(AMBERVALE_BINARY);
    m_form = new Form1(*m_platform);
    m_form->show();
    QVERIFY(QTest::qWaitForWindowActive(m_form));
}

void tst_Accessibility::init()
{
    openWindow(false);
}

void tst_Accessibility::cleanup()
{
    delete m_form;
    m_platform.reset();
}

void tst_Accessibility::toolbarButtonsHaveNames()
{
    QAccessibleInterface *window = QAccessible::queryAccessibleInterface(m_form);
    QVERIFY(window);
    const Toolbar *toolbar = m_form->Toolbar1();
    int buttons = 0;
    for (int index = 1; index <= toolbar->buttonCount(); ++index) {
        QToolButton *button = toolbar->button(index);
        if (!button)
            continue;
        ++buttons;
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(button);
        QVERIFY(accessible);
        QCOMPARE(accessible->text(QAccessible::Name), toolbar->entry(index).caption);
        QCOMPARE(accessible->role(), QAccessible::Button);
        // Reachable from the window down, where a screen reader looks.
        QVERIFY2(findReadable(window, toolbar->entry(index).caption), qPrintable(toolbar->entry(index).caption));
    }
    QCOMPARE(buttons, 8);
}

void tst_Accessibility::menuItemsHaveNamesAndMarks()
{
    QAccessibleInterface *bar = QAccessible::queryAccessibleInterface(m_form->menuBar());
    QVERIFY(bar);
    QStringList names;
    QList<QAccessibleInterface *> items;
    collectMenuItems(bar, names, items);
    // Every item, the ones that open menus included, under the name it is shown with; the
    // access key's ampersand is not read out.
    QCOMPARE(names, QStringList({"File", "Print Preview", "Print", "Exit", "Edit", "Select All", "Copy", "View",
                                 "Toolbar", "Faith Bar", "Options", "Font Size", "Smaller", "Medium", "Larger",
                                 "Find", "About"}));

    // The check marks are read out as the reader sees them, and follow the commands.
    const auto accessibleItem = [&](const QString &name) { return items.at(names.indexOf(name)); };
    QVERIFY(accessibleItem("Toolbar")->state().checked);
    QVERIFY(accessibleItem("Faith Bar")->state().checked);
    for (const char *size : {"Smaller", "Medium", "Larger"})
        QVERIFY(!accessibleItem(QLatin1String(size))->state().checked);
    m_form->menus()->mnuViewStatusBar->action()->trigger();
    m_form->menus()->fontSizeItem(3)->action()->trigger();
    QVERIFY(!accessibleItem("Faith Bar")->state().checked);
    QVERIFY(accessibleItem("Toolbar")->state().checked);
    QVERIFY(accessibleItem("Larger")->state().checked);
    QVERIFY(!accessibleItem("Medium")->state().checked);
}

void tst_Accessibility::faithBarTextIsReadable()
{
    QAccessibleInterface *faithBar = QAccessible::queryAccessibleInterface(m_form->StatusBar1());
    QVERIFY(faithBar);
    QCOMPARE(faithBar->text(QAccessible::Name), QStringLiteral("Faith Bar"));
    QVERIFY(findReadable(faithBar, QString::fromLatin1(OpeningQuotation)));

    // Each new quotation is read under the bar as it is shown, the old one no more.
    m_platform->manualClock.advance(60000);
    const QString first = quotation(1);
    QCOMPARE(m_form->StatusBar1()->Panels(1).Text(), first);
    QVERIFY(findReadable(faithBar, first));
    QVERIFY(!findReadable(faithBar, QString::fromLatin1(OpeningQuotation)));
    // Also while the bar is hidden, so that it reads right when shown again.
    m_form->menus()->mnuViewStatusBar->action()->trigger();
    m_platform->manualClock.advance(60000);
    m_form->menus()->mnuViewStatusBar->action()->trigger();
    QVERIFY(findReadable(faithBar, m_form->StatusBar1()->Panels(1).Text()));
    QVERIFY(!findReadable(faithBar, first) || m_form->StatusBar1()->Panels(1).Text() == first);
}

void tst_Accessibility::altAndArrowKeysChooseAMenuItem_data()
{
    QTest::addColumn<bool>("realView");
    QTest::newRow("from a view that takes no keys of its own") << false;
    QTest::newRow("from the book, where the engine has the keys") << true;
}

void tst_Accessibility::altAndArrowKeysChooseAMenuItem()
{
    QFETCH(bool, realView);
    if (realView) {
        delete m_form;
        openWindow(true);
        QSignalSpy loaded(m_form->WebBrowser1(), SIGNAL(loadFinished(bool)));
        QTRY_VERIFY_WITH_TIMEOUT(!loaded.isEmpty(), 30000);
    }
    // The reader starts with the focus in the book.
    QTRY_VERIFY(m_form->WebBrowser1()->isAncestorOf(QApplication::focusWidget())
                || QApplication::focusWidget() == m_form->WebBrowser1());

    // Alt alone enters the menu bar at File; Right twice reaches View; Down opens it at
    // Toolbar, Down again moves to Faith Bar, Return chooses it.
    QTest::keyPress(m_form->windowHandle(), Qt::Key_Alt, Qt::AltModifier);
    QTest::keyRelease(m_form->windowHandle(), Qt::Key_Alt, Qt::NoModifier);
    QTRY_VERIFY(m_form->menuBar()->hasFocus());
    QCOMPARE(m_form->menuBar()->activeAction(), m_form->menus()->mnuFile->action());
    press(Qt::Key_Right);
    press(Qt::Key_Right);
    QCOMPARE(m_form->menuBar()->activeAction(), m_form->menus()->mnuView->action());
    press(Qt::Key_Down);
    QTRY_VERIFY(QApplication::activePopupWidget());
    press(Qt::Key_Down);
    press(Qt::Key_Return);
    QTRY_VERIFY(!QApplication::activePopupWidget());
    QVERIFY(m_form->StatusBar1()->isHidden());
    QVERIFY(!m_form->menus()->mnuViewStatusBar->Checked());
    QVERIFY(!m_form->Toolbar1()->isHidden());

    // Escape leaves the menus without choosing anything, and the keys go back to the book.
    QTest::keyPress(m_form->windowHandle(), Qt::Key_Alt, Qt::AltModifier);
    QTest::keyRelease(m_form->windowHandle(), Qt::Key_Alt, Qt::NoModifier);
    QTRY_VERIFY(m_form->menuBar()->hasFocus());
    press(Qt::Key_Escape);
    QTRY_VERIFY(!m_form->menuBar()->hasFocus());
    QVERIFY(m_form->WebBrowser1()->isAncestorOf(QApplication::focusWidget())
            || QApplication::focusWidget() == m_form->WebBrowser1());
    QVERIFY(m_form->StatusBar1()->isHidden());
    QVERIFY(m_platform->runtimeErrors.isEmpty());
}

void tst_Accessibility::tabVisitsViewFaithBarAndEveryToolbarButton()
{
    const Toolbar *toolbar = m_form->Toolbar1();
    QList<QWidget *> expected{m_form->WebBrowser1(), m_form->StatusBar1()};
    for (int index = 1; index <= toolbar->buttonCount(); ++index) {
        if (QToolButton *button = toolbar->button(index))
            expected.append(button);
    }
    expected.append(m_form->WebBrowser1());

    QTRY_COMPARE(QApplication::focusWidget(), m_form->WebBrowser1());
    QList<QWidget *> met{QApplication::focusWidget()};
    for (qsizetype i = 1; i < expected.size(); ++i) {
        press(Qt::Key_Tab);
        met.append(QApplication::focusWidget());
    }
    QCOMPARE(met, expected);
    // Back the same way.
    for (qsizetype i = expected.size() - 2; i >= 0; --i) {
        press(Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), expected.at(i));
    }

    // A button reached with Tab is pressed with Space, and does its command.
    RecordingView *view = m_platform->recordingView();
    view->calls.clear();
    press(Qt::Key_Tab);
    press(Qt::Key_Tab);
    press(Qt::Key_Tab);
    press(Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), toolbar->button(3));
    press(Qt::Key_Space);
    QCOMPARE(view->calls.size(), 1);
    QVERIFY2(view->calls.first().startsWith(QLatin1String("Navigate(")), qPrintable(view->calls.first()));
}

void tst_Accessibility::viewKeysSelectCopyAndFind()
{
    delete m_form;
    openWindow(true);
    auto *view = static_cast<WebBrowser *>(m_form->WebBrowser1());
    QSignalSpy loaded(view, &WebBrowser::loadFinished);
    QTRY_VERIFY_WITH_TIMEOUT(!loaded.isEmpty(), 30000);
    QTRY_VERIFY(view->isAncestorOf(QApplication::focusWidget()));

    QApplication::clipboard()->clear();
    press(Qt::Key_A, Qt::ControlModifier);
    QTRY_VERIFY_WITH_TIMEOUT(view->webPage()->hasSelection(), 10000);
    press(Qt::Key_C, Qt::ControlModifier);
    QTRY_VERIFY_WITH_TIMEOUT(QApplication::clipboard()->text().contains(QLatin1String("Palendor")), 10000);

    press(Qt::Key_F, Qt::ControlModifier);
    QTRY_VERIFY(view->findDialog() && view->findDialog()->isVisible());
    // The dialog takes the keys: typing searches at once.
    QTRY_VERIFY(view->findDialog()->isAncestorOf(QApplication::focusWidget()));
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("lamp"));
    QTRY_VERIFY_WITH_TIMEOUT(view->findDialog()->status().contains(QLatin1String(" of ")), 10000);
    QVERIFY(m_platform->runtimeErrors.isEmpty());
}

AMBERVALE_TEST_MAIN(tst_Accessibility)
#include "tst_accessibility.moc"
