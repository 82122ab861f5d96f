#include <QtTest>

#include "about/aboutbox.h"
#include "about/dialog.h"
#include "about/launcher.h"
#include "shell/guard.h"
#include "shell/twips.h"

#include <QApplication>
#include <QFontInfo>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <memory>

namespace {

// Sees every launch; can refuse one or fail by throwing, as a launch that finds no program.
class RecordingLauncher : public Launcher
{
public:
    enum class Outcome { Started, Refused, Throws };

    bool launch(const QString &commandLine) override
    {
        lines.append(commandLine);
        if (outcome == Outcome::Throws)
            throw StepFailure("no program by that name");
        return outcome == Outcome::Started;
    }

    Outcome outcome = Outcome::Started;
    QStringList lines;
};

QRect inTwips(const QRect &pixels)
{
    return QRect(int(Twips::fromPixels(pixels.x())), int(Twips::fromPixels(pixels.y())),
                 int(Twips::fromPixels(pixels.width())), int(Twips::fromPixels(pixels.height())));
}

QList<QWidget *> visibleWindows()
{
    QList<QWidget *> windows;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible())
            windows.append(widget);
    }
    return windows;
}

int openDialogs()
{
    int count = 0;
    for (QWidget *widget : QApplication::topLevelWidgets())
        count += qobject_cast<Dialog *>(widget) && widget->isVisible();
    return count;
}

// The face that drawing uses, without the foundry that fontconfig may add in brackets.
QString resolvedFamily(const QFont &font)
{
    const QString family = QFontInfo(font).family();
    return family.left(family.indexOf(QLatin1String(" [")));
}

constexpr QLatin1StringView makerLine("Start.exe http://www.palendor.example/");

} // namespace

class TestDialog : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void layout_data();
    void layout();
    void controlsAreCreatedInOrderWithTheirParents();
    void windowIsAFixedToolWindowAtItsStoredPlace();
    void colours_data();
    void colours();
    void fonts();
    void labelTextsFitTheirLabels_data();
    void labelTextsFitTheirLabels();
    void labelTextsSayWhatTheyMust();
    void bannerAtNaturalSizeWithPointingHand();
    void okButtonIsTheOnlyFocusStop();
    void keysLeaveTheBoxOpen_data();
    void keysLeaveTheBoxOpen();
    void showWhileOpenBringsTheSameBoxToTheFront();
    void closingDestroysAndShowOpensAFreshBox_data();
    void closingDestroysAndShowOpensAFreshBox();
    void bannerClickLaunchesTheMakersSite_data();
    void bannerClickLaunchesTheMakersSite();
    void failedLaunchIsSilent_data();
    void failedLaunchIsSilent();
    void openBoxKeepsTheProgramRunning();
    void boxGoesWithItsOwner();

private:
    Dialog *openBox();

    RecordingLauncher m_launcher;
    QStringList m_runtimeErrors;
    std::unique_ptr<AboutBox> m_box;
};

void TestDialog::init()
{
    m_launcher = RecordingLauncher();
    m_runtimeErrors.clear();
    m_box = std::make_unique<AboutBox>(m_launcher,
                                       [this](const QString &message) { m_runtimeErrors.append(message); });
}

void TestDialog::cleanup()
{
    m_box.reset();
    QCOMPARE(openDialogs(), 0);
}

Dialog *TestDialog::openBox()
{
    m_box->show();
    Dialog *dialog = m_box->dialog();
    if (dialog && !QTest::qWaitForWindowActive(dialog))
        return nullptr;
    return dialog;
}

void TestDialog::layout_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("inside");
    QTest::addColumn<QRect>("twips");
    QTest::addColumn<QString>("text");

    QTest::newRow("Frame2") << "Frame2" << "QFrame" << "" << QRect(120, 2400, 6495, 1455) << "";
    QTest::newRow("Label4") << "Label4" << "QLabel" << "Frame2" << QRect(2760, 120, 855, 255) << "Version 11";
    QTest::newRow("Label3") << "Label3" << "QLabel" << "Frame2" << QRect(240, 360, 6135, 1095) << "*";
    QTest::newRow("Frame1") << "Frame1" << "QFrame" << "" << QRect(120, 0, 6495, 2415) << "";
    QTest::newRow("Label2") << "Label2" << "QLabel" << "Frame1" << QRect(120, 240, 6255, 1935) << "*";
    QTest::newRow("OKButton") << "OKButton" << "QPushButton" << "" << QRect(5520, 3960, 1095, 495) << "OK";
    QTest::newRow("Label1") << "Label1" << "QLabel" << "" << QRect(4440, 2400, 1335, 255) << "Version 11.0.0";
    QTest::newRow("Image1") << "Image1" << "QLabel" << "" << QRect(120, 3960, 4500, 465) << "";
}

void TestDialog::layout()
{
    QFETCH(QString, name);
    QFETCH(QString, kind);
    QFETCH(QString, inside);
    QFETCH(QRect, twips);
    QFETCH(QString, text);

    Dialog *dialog = openBox();
    QVERIFY(dialog);
    auto *control = dialog->findChild<QWidget *>(name);
    QVERIFY(control);
    QCOMPARE(control->metaObject()->className(), kind);
    QCOMPARE(control->parentWidget()->objectName(), inside);
    QCOMPARE(control->isVisible(), true);
    QCOMPARE(inTwips(control->geometry()), twips);
    if (auto *label = qobject_cast<QLabel *>(control)) {
        if (text != u"*")
            QCOMPARE(label->text(), text);
        QCOMPARE(label->alignment(), Qt::AlignLeft | Qt::AlignTop);
        QCOMPARE(label->wordWrap(), name != u"Image1");
    } else if (auto *button = qobject_cast<QPushButton *>(control)) {
        QCOMPARE(button->text(), text);
        QCOMPARE(button->isDefault(), false);
        QCOMPARE(button->autoDefault(), false);
    } else {
        auto *frame = qobject_cast<QFrame *>(control);
        QVERIFY(frame->frameShape() != QFrame::NoFrame);
        QVERIFY(frame->children().size() > 0);
    }
}

void TestDialog::controlsAreCreatedInOrderWithTheirParents()
{
    Dialog *dialog = openBox();
    QVERIFY(dialog);
    // Depth first, in each parent's creation order.
    QStringList order;
    for (QWidget *control : dialog->findChildren<QWidget *>())
        order.append(control->objectName());
    QCOMPARE(order, (QStringList{"Frame2", "Label4", "Label3", "Frame1", "Label2", "OKButton",
                                 "Label1", "Image1"}));
}

void TestDialog::windowIsAFixedToolWindowAtItsStoredPlace()
{
    Dialog *dialog = openBox();
    QVERIFY(dialog);

    QCOMPARE(dialog->windowTitle(), QStringLiteral("About Palendor"));
    QVERIFY(dialog->isWindow());
    QCOMPARE(dialog->parentWidget(), nullptr);
    QCOMPARE(dialog->isModal(), false);

    // A tool window keeps out of the taskbar.
    QCOMPARE(dialog->windowType(), Qt::Tool);
    const Qt::WindowFlags flags = dialog->windowFlags();
    QVERIFY(flags.testFlag(Qt::CustomizeWindowHint));
    QVERIFY(flags.testFlag(Qt::WindowTitleHint));
    QVERIFY(flags.testFlag(Qt::WindowSystemMenuHint));
    QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowStaysOnTopHint));

    // The client area, not the frame, is at the stored place: 4890, 1395 twips.
    QCOMPARE(dialog->geometry(), QRect(326, 93, 448, 304));
    QCOMPARE(inTwips(dialog->geometry()), QRect(4890, 1395, 6720, 4560));
    QCOMPARE(dialog->minimumSize(), QSize(448, 304));
    QCOMPARE(dialog->maximumSize(), QSize(448, 304));

    QVERIFY(dialog->autoFillBackground());
    QCOMPARE(dialog->palette().color(QPalette::Window), QColor(224, 224, 224));
    // The rendered face, where no control covers it.
    QCOMPARE(dialog->grab().toImage().pixelColor(2, 300), QColor(224, 224, 224));

    // The program icon, in all its sizes.
    const QList<QSize> iconSizes = dialog->windowIcon().availableSizes();
    for (const QSize size : {QSize(16, 16), QSize(32, 32), QSize(48, 48)})
        QVERIFY2(iconSizes.contains(size), qPrintable(QString::number(size.width())));
}

void TestDialog::colours_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QPalette::ColorRole>("role");
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<bool>("opaque");

    const QPalette label = QApplication::palette("QLabel");
    const QColor grey(224, 224, 224);
    const QColor blue(0, 0, 192);
    QTest::newRow("Frame2 back") << "Frame2" << QPalette::Window << grey << true;
    QTest::newRow("Frame2 text") << "Frame2" << QPalette::WindowText << blue << true;
    QTest::newRow("Frame1 back") << "Frame1" << QPalette::Window << grey << true;
    QTest::newRow("Label4 default back") << "Label4" << QPalette::Window << label.color(QPalette::Window) << true;
    QTest::newRow("Label4 default text")
        << "Label4" << QPalette::WindowText << label.color(QPalette::WindowText) << true;
    QTest::newRow("Label3 text") << "Label3" << QPalette::WindowText << blue << false;
    QTest::newRow("Label2 text") << "Label2" << QPalette::WindowText << blue << false;
    QTest::newRow("Label1 text") << "Label1" << QPalette::WindowText << blue << false;
    QTest::newRow("OKButton face") << "OKButton" << QPalette::Button << grey << false;
}

void TestDialog::colours()
{
    QFETCH(QString, name);
    QFETCH(QPalette::ColorRole, role);
    QFETCH(QColor, colour);
    QFETCH(bool, opaque);

    Dialog *dialog = openBox();
    QVERIFY(dialog);
    auto *control = dialog->findChild<QWidget *>(name);
    QVERIFY(control);
    QCOMPARE(control->palette().color(role), colour);
    if (qobject_cast<QLabel *>(control) || qobject_cast<QFrame *>(control))
        QCOMPARE(control->autoFillBackground(), opaque);
}

void TestDialog::fonts()
{
    Dialog *dialog = openBox();
    QVERIFY(dialog);

    const QFont label1 = dialog->findChild<QLabel *>("Label1")->font();
    QCOMPARE(label1.families().value(0), QStringLiteral("MS Sans Serif"));
    QCOMPARE(label1.weight(), QFont::Bold);
    QCOMPARE(label1.italic(), false);
    QCOMPARE(label1.underline(), false);
    QCOMPARE(label1.strikeOut(), false);
    // 8.25 points are 165 twips, 11 pixels.
    QCOMPARE(label1.pixelSize(), 11);
    // Where that face is missing, a named sans-serif stands in, not whatever the system finds.
    QVERIFY2(label1.families().contains(resolvedFamily(label1)), qPrintable(resolvedFamily(label1)));

    // Every other control uses the dialog's font: a plain sans-serif of about 8 points.
    const QFont font = dialog->font();
    QVERIFY2(font.families().contains(resolvedFamily(font)), qPrintable(resolvedFamily(font)));
    QCOMPARE(font.weight(), QFont::Normal);
    QVERIFY(font.pixelSize() >= 10 && font.pixelSize() <= 11);
    for (const char *name : {"Frame2", "Label4", "Label3", "Frame1", "Label2", "OKButton", "Image1"})
        QCOMPARE(dialog->findChild<QWidget *>(name)->font(), font);
}

void TestDialog::labelTextsFitTheirLabels_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("Label2 introduction") << "Label2";
    QTest::newRow("Label3 notice") << "Label3";
    QTest::newRow("Label1 version") << "Label1";
    QTest::newRow("Label4 version") << "Label4";
}

void TestDialog::labelTextsFitTheirLabels()
{
    QFETCH(QString, name);

    Dialog *dialog = openBox();
    QVERIFY(dialog);
    auto *label = dialog->findChild<QLabel *>(name);
    QVERIFY(label);
    const QRect room = label->contentsRect();
    const QRect needed = QFontMetrics(label->font())
                             .boundingRect(QRect(room.topLeft(), QSize(room.width(), 10000)),
                                           Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                                           label->text());
    QVERIFY2(room.contains(needed),
             qPrintable(QStringLiteral("%1 needs %2 x %3 pixels, has %4 x %5")
                            .arg(name)
                            .arg(needed.width())
                            .arg(needed.height())
                            .arg(room.width())
                            .arg(room.height())));
}

void TestDialog::labelTextsSayWhatTheyMust()
{
    Dialog *dialog = openBox();
    QVERIFY(dialog);

    const QString introduction = dialog->findChild<QLabel *>("Label2")->text();
    QVERIFY2(introduction.size() >= 700 && introduction.size() <= 900, qPrintable(QString::number(introduction.size())));
    QVERIFY(introduction.contains(u"Palendor"));
    QVERIFY(introduction.contains(u"faith"));
    QVERIFY(introduction.trimmed().endsWith(u"public domain."));

    const QString notice = dialog->findChild<QLabel *>("Label3")->text();
    QVERIFY2(notice.size() >= 320 && notice.size() <= 420, qPrintable(QString::number(notice.size())));
    for (const char *words : {"freeware", "no warranty of any kind", "not to be sold for any reason",
                              "copy", "Copyright (c) Palendor Ministries", "comments or questions"})
        QVERIFY2(notice.contains(QLatin1String(words)), words);
    QVERIFY(notice.indexOf(u"freeware") < notice.indexOf(u"Copyright"));
}

void TestDialog::bannerAtNaturalSizeWithPointingHand()
{
    Dialog *dialog = openBox();
    QVERIFY(dialog);
    auto *image1 = dialog->findChild<QLabel *>("Image1");
    QVERIFY(image1);

    const QPixmap banner = image1->pixmap();
    QCOMPARE(banner.size(), QSize(300, 31));
    QCOMPARE(image1->size(), banner.size());
    QCOMPARE(image1->hasScaledContents(), false);

    const QCursor pointer = image1->cursor();
    QCOMPARE(pointer.shape(), Qt::BitmapCursor);
    QCOMPARE(pointer.pixmap().size(), QSize(32, 32));
    // The pointer clicks with the fingertip: the topmost solid pixel of the hand.
    const QImage hand = pointer.pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
    const QPoint hotSpot = pointer.hotSpot();
    QVERIFY(hand.rect().contains(hotSpot));
    QCOMPARE(qAlpha(hand.pixel(hotSpot)), 255);
    for (int y = 0; y < hotSpot.y(); ++y) {
        for (int x = 0; x < hand.width(); ++x)
            QCOMPARE(qAlpha(hand.pixel(x, y)), 0);
    }
    // Only over the banner.
    for (QWidget *other : dialog->findChildren<QWidget *>()) {
        if (other != image1)
            QVERIFY2(!other->testAttribute(Qt::WA_SetCursor), qPrintable(other->objectName()));
    }
    QVERIFY(!dialog->testAttribute(Qt::WA_SetCursor));
}

void TestDialog::okButtonIsTheOnlyFocusStop()
{
    Dialog *dialog = openBox();
    QVERIFY(dialog);
    auto *okButton = dialog->findChild<QPushButton *>("OKButton");
    QTRY_COMPARE(QApplication::focusWidget(), okButton);

    QStringList stops;
    for (QWidget *widget = dialog->nextInFocusChain(); widget != dialog; widget = widget->nextInFocusChain()) {
        if (widget->focusPolicy() != Qt::NoFocus)
            stops.append(widget->objectName());
    }
    QCOMPARE(stops, QStringList{"OKButton"});

    QTest::keyClick(okButton, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), okButton);
    QTest::keyClick(okButton, Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget(), okButton);
}

void TestDialog::keysLeaveTheBoxOpen_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("Escape") << int(Qt::Key_Escape);
    QTest::newRow("Return") << int(Qt::Key_Return);
    QTest::newRow("Enter") << int(Qt::Key_Enter);
}

void TestDialog::keysLeaveTheBoxOpen()
{
    QFETCH(int, key);

    QPointer<Dialog> dialog = openBox();
    QVERIFY(dialog);
    QTRY_VERIFY(QApplication::focusWidget());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
    QTest::keyClick(dialog, Qt::Key(key));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(dialog);
    QVERIFY(dialog->isVisible());
    QCOMPARE(m_box->dialog(), dialog.data());
    QVERIFY(m_launcher.lines.isEmpty());
}

void TestDialog::showWhileOpenBringsTheSameBoxToTheFront()
{
    QPointer<Dialog> dialog = openBox();
    QVERIFY(dialog);

    QWidget mainWindow;
    mainWindow.setGeometry(0, 0, 800, 600);
    mainWindow.show();
    mainWindow.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&mainWindow));
    QVERIFY(!dialog->isActiveWindow());

    m_box->show();
    QTRY_COMPARE(QApplication::activeWindow(), dialog.data());
    QCOMPARE(m_box->dialog(), dialog.data());
    QCOMPARE(openDialogs(), 1);
    QCOMPARE(dialog->geometry(), QRect(326, 93, 448, 304));
}

void TestDialog::closingDestroysAndShowOpensAFreshBox_data()
{
    QTest::addColumn<bool>("byOkButton");
    QTest::newRow("OK button") << true;
    QTest::newRow("title bar close") << false;
}

void TestDialog::closingDestroysAndShowOpensAFreshBox()
{
    QFETCH(bool, byOkButton);

    QPointer<Dialog> first = openBox();
    QVERIFY(first);
    // Something to carry over if the box were kept: a moved window.
    first->move(10, 10);
    if (byOkButton)
        QTest::mouseClick(first->findChild<QPushButton *>("OKButton"), Qt::LeftButton);
    else
        QVERIFY(first->close());
    QCOMPARE(m_box->dialog(), nullptr);
    QTRY_VERIFY(!first);
    QCOMPARE(openDialogs(), 0);
    QVERIFY(m_runtimeErrors.isEmpty());

    QPointer<Dialog> second = openBox();
    QVERIFY(second);
    QCOMPARE(openDialogs(), 1);
    QCOMPARE(second->geometry(), QRect(326, 93, 448, 304));
    QCOMPARE(second->findChildren<QWidget *>().size(), 8);
    QVERIFY(second->findChild<QLabel *>("Label2")->text().contains(u"Palendor"));
}

void TestDialog::bannerClickLaunchesTheMakersSite_data()
{
    QTest::addColumn<int>("presses");
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<QPoint>("releaseAt");
    QTest::addColumn<int>("launches");

    QTest::newRow("one click") << 1 << Qt::LeftButton << QPoint(150, 15) << 1;
    QTest::newRow("two clicks, two launches") << 2 << Qt::LeftButton << QPoint(150, 15) << 2;
    QTest::newRow("right button is no click") << 1 << Qt::RightButton << QPoint(150, 15) << 0;
    QTest::newRow("released off the banner") << 1 << Qt::LeftButton << QPoint(150, 60) << 0;
}

void TestDialog::bannerClickLaunchesTheMakersSite()
{
    QFETCH(int, presses);
    QFETCH(Qt::MouseButton, button);
    QFETCH(QPoint, releaseAt);
    QFETCH(int, launches);

    QPointer<Dialog> dialog = openBox();
    QVERIFY(dialog);
    auto *image1 = dialog->findChild<QLabel *>("Image1");
    for (int i = 0; i < presses; ++i) {
        QTest::mousePress(image1, button, {}, QPoint(150, 15));
        QTest::mouseRelease(image1, button, {}, releaseAt);
    }
    QCOMPARE(m_launcher.lines, QStringList(launches, makerLine));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(dialog && dialog->isVisible());
    QVERIFY(m_runtimeErrors.isEmpty());
}

void TestDialog::failedLaunchIsSilent_data()
{
    QTest::addColumn<RecordingLauncher::Outcome>("outcome");
    QTest::newRow("launcher refuses") << RecordingLauncher::Outcome::Refused;
    QTest::newRow("launcher throws") << RecordingLauncher::Outcome::Throws;
}

void TestDialog::failedLaunchIsSilent()
{
    QFETCH(RecordingLauncher::Outcome, outcome);

    m_launcher.outcome = outcome;
    QPointer<Dialog> dialog = openBox();
    QVERIFY(dialog);
    const QList<QWidget *> before = visibleWindows();

    auto *image1 = dialog->findChild<QLabel *>("Image1");
    QTest::mouseClick(image1, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseClick(image1, Qt::LeftButton, {}, QPoint(10, 10));
    QCoreApplication::processEvents();

    QCOMPARE(m_launcher.lines, QStringList(2, makerLine));
    QVERIFY(m_runtimeErrors.isEmpty());
    QVERIFY(dialog && dialog->isVisible());
    QCOMPARE(visibleWindows(), before);
}

// Closing the main window leaves the program running while the box is open.
void TestDialog::openBoxKeepsTheProgramRunning()
{
    auto *mainWindow = new QWidget;
    mainWindow->setAttribute(Qt::WA_DeleteOnClose);
    mainWindow->show();
    QVERIFY(QTest::qWaitForWindowExposed(mainWindow));
    QPointer<Dialog> dialog = openBox();
    QVERIFY(dialog);

    bool openAfterMainWindowClosed = false;
    QTimer::singleShot(0, mainWindow, [mainWindow] { mainWindow->close(); });
    QTimer::singleShot(100, dialog, [&] {
        openAfterMainWindowClosed = dialog && dialog->isVisible();
        dialog->close();
    });
    QTimer safety;
    safety.setSingleShot(true);
    connect(&safety, &QTimer::timeout, qApp, &QCoreApplication::quit);
    safety.start(10000);
    QApplication::exec();

    QVERIFY(safety.isActive());
    QVERIFY(openAfterMainWindowClosed);
    QTRY_VERIFY(!dialog);
}

// The box uses the launcher it was handed: it does not stay behind when its owner goes.
void TestDialog::boxGoesWithItsOwner()
{
    QPointer<Dialog> dialog = openBox();
    QVERIFY(dialog);
    m_box.reset();
    QVERIFY(!dialog);
}

QTEST_MAIN(TestDialog)
#include "tst_dialog.moc"
