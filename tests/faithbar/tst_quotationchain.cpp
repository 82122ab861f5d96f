#include "faithbar/quotationchain.h"
#include "faithbar/quotations.h"
#include "faithbar/timer.h"
#include "manualclock.h"
#include "shell/guard.h"

#include <QtTest>

#include <QLabel>
#include <QPointer>
#include <QStatusBar>

#include <utility>

namespace {

constexpr qint64 minute = 60000;
constexpr qint64 longAfterTheEnd = 24 * 60 * minute;

using Shown = std::pair<qint64, int>; // moment in ms, quotation number (0: not a quotation)
using Shows = QList<Shown>;

int numberOf(const QString &text)
{
    for (int number = 1; number <= QuotationCount; ++number) {
        if (text == quotation(number))
            return number;
    }
    return 0;
}

// A main window in miniature: owns the chain, records what goes into panel 1 and which timers
// are armed after each handler.
struct Window
{
    Window()
    {
        chain = new QuotationChain(
                clock,
                [this](const QString &text) {
                    if (writePanel)
                        writePanel(text);
                    texts.append(text);
                    shows.append({clock.now(), numberOf(text)});
                },
                [this](const QString &message) {
                    errors.append({clock.now(), message});
                    if (reportRuntimeError)
                        reportRuntimeError();
                },
                owner);
        // Connected after the chain's own handlers, so these run once each handler is done.
        for (int number = 1; number <= QuotationCount; ++number)
            QObject::connect(chain->timer(number), &Timer::timeout, owner, [this] { armedAfter.append(armed()); });
    }
    ~Window() { delete owner; }

    QList<int> armed() const
    {
        QList<int> numbers;
        for (int number = 1; number <= QuotationCount; ++number) {
            if (chain->timer(number)->isEnabled())
                numbers.append(number);
        }
        return numbers;
    }

    ManualClock clock;
    QPointer<QObject> owner = new QObject;
    QPointer<QuotationChain> chain;
    std::function<void(const QString &)> writePanel;
    // As the program's end would.
    std::function<void()> reportRuntimeError = [this] { delete owner; };
    QStringList texts;
    Shows shows;
    QList<QList<int>> armedAfter;
    QList<std::pair<qint64, QString>> errors;
};

// The first-step table: what shows when Timer<first> takes over the chain at one minute.
Shows expectedAfterFirst(int first)
{
    Shows shows{{minute, first}};
    if (first == 1 || first == 2) {
        // The successor restarts: one minute per quotation from here on.
        for (int number = first + 1; number <= QuotationCount; ++number)
            shows.append({(number - first + 1) * minute, number});
    } else if (first < QuotationCount) {
        // The successor's period, running since load, ends at this very moment.
        shows.append({minute, first + 1});
        for (int number = first + 2; number <= QuotationCount; ++number)
            shows.append({(number - first) * minute, number});
    }
    return shows;
}

} // namespace

class TestQuotationChain : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void timersAsCreated();
    void texts_data();
    void texts();
    void openingQuotationStaysForTheFirstMinute();
    void armedTogetherWhileTheClockTicks();
    void firstStep_data();
    void firstStep();
    void steadyChainCountsFromEachHandler_data();
    void steadyChainCountsFromEachHandler();
    void chainRunsWhileTheFaithBarIsHidden();
    void stopsWithItsOwner_data();
    void stopsWithItsOwner();
    void handlerFailureIsARuntimeError_data();
    void handlerFailureIsARuntimeError();
};

void TestQuotationChain::timersAsCreated()
{
    Window window;

    QStringList names;
    const auto timers = window.chain->findChildren<Timer *>(Qt::FindDirectChildrenOnly);
    for (const Timer *timer : timers) {
        names.append(timer->objectName());
        QCOMPARE(timer->interval(), 60000);
        QVERIFY(timer->isEnabled());
    }
    QStringList created;
    for (int number = 20; number >= 1; --number)
        created.append(QStringLiteral("Timer%1").arg(number));
    QCOMPARE(names, created);
    QCOMPARE(window.chain->timer(7)->objectName(), QStringLiteral("Timer7"));
    QVERIFY(!window.chain->timer(0));
    QVERIFY(!window.chain->timer(21));
}

void TestQuotationChain::texts_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("text");

    const char *const texts[] = {
        "God will dare to do the impossible in your life if you dare to step across the faith line. - Dravonel",
        "Faith is the only thing in the world where there is true equal opportunity. - Ulmster",
        "Faith, like light, should always be simple and unbending. - Brennick",
        "Faith is believing God more than we believe our feelings, more than our apprehensions. - Halvardine",
        "Faith is not belief without proof, but trust without reservation. - Anonymous",
        "Words...carry faith or fear, and they produce after their kind. - Ostrevan",
        "The gift of faith comes on you and changes you into what God needs you to be at that moment. Ivandrel",
        "Hope says, I wll get it sometime. Faith says, I have it now. - Gorvath",
        "Real faith in God simply says about one's self what the Word says. - Pellucar",
        "Living by faith is not something you try. It's a lifestyle. - Dravonel",
        "Take a faith stand, then refuse to let the devil talk to you about that situation anymore. - Merricott",
        "Faith is the audacity that rejoices in the fact that God cannot break His own Word. - Palendor",
        "We are to live by faith because the Word of God commands us to live that way. - Quillon",
        "Faith will turn every defeat into victory. It is God's formula. - Ferelith",
        "Feed your faith and your doubts will starve to death. - Anonymous",
        "When God tell you to take a step of fatih, He has a plan and a reward in mind. - Tamberlyn",
        "Faith does not deny fact; it changes it. - Corvage",
        "Be faithful [to walk] in those [revealations] God has already given you. - Ferelith",
        "Faith is just letting God do what He says He will do. - Halvardine",
        "Without faith it is impossible to please God. - Hebrews 11:6",
    };
    for (int number = 1; number <= 20; ++number)
        QTest::addRow("Timer%d", number) << number << QString::fromLatin1(texts[number - 1]);
}

void TestQuotationChain::texts()
{
    QFETCH(int, number);
    QFETCH(QString, text);

    Window window;
    window.clock.setNow(minute);
    QVERIFY(window.chain->deliverIfDue(number));

    QVERIFY(!window.texts.isEmpty());
    QCOMPARE(window.texts.first(), text);
}

void TestQuotationChain::openingQuotationStaysForTheFirstMinute()
{
    Window window;
    // The faith bar is created after the timers, as in the main window.
    QStatusBar bar;
    auto *panel = new QLabel(&bar);
    bar.addWidget(panel);
    window.writePanel = [panel](const QString &text) { panel->setText(text); };
    panel->setText(QString::fromLatin1(OpeningQuotation));

    window.clock.advanceTo(minute - 1);
    QCOMPARE(panel->text(),
             QStringLiteral("Faith is the substance of things hoped for,the evidence of things not seen. - Hebrews 11:1"));
    QVERIFY(window.texts.isEmpty());

    window.clock.advanceTo(minute);
    QCOMPARE(panel->text(), quotation(1));
}

void TestQuotationChain::firstStep_data()
{
    QTest::addColumn<int>("first");
    QTest::addColumn<Shows>("expected");

    // Left alone, the expiries due together go by timer number.
    QTest::newRow("left alone: Timer1 first") << 0 << expectedAfterFirst(1);
    for (int first = 1; first <= 20; ++first)
        QTest::addRow("Timer%d first", first) << first << expectedAfterFirst(first);
}

void TestQuotationChain::firstStep()
{
    QFETCH(int, first);
    QFETCH(Shows, expected);

    Window window;
    window.clock.setNow(minute - 1);
    QVERIFY(!window.chain->deliverIfDue(std::max(first, 1)));
    window.clock.setNow(minute);
    if (first > 0)
        QVERIFY(window.chain->deliverIfDue(first));
    window.clock.advanceTo(longAfterTheEnd);

    QCOMPARE(window.shows, expected);
    // Exactly the successor is armed after each handler; nothing after Timer20's.
    QList<QList<int>> armedAfter;
    for (const Shown &shown : std::as_const(expected))
        armedAfter.append(shown.second < 20 ? QList<int>{shown.second + 1} : QList<int>{});
    QCOMPARE(window.armedAfter, armedAfter);
    QCOMPARE(window.armed(), QList<int>{});
    QVERIFY(window.errors.isEmpty());
}

void TestQuotationChain::steadyChainCountsFromEachHandler_data()
{
    QTest::addColumn<int>("lateNumber");
    QTest::addColumn<qint64>("lateAt");

    // The event loop is busy when quotation <lateNumber> comes due, until lateAt.
    QTest::newRow("first step late") << 1 << qint64(65000);
    QTest::newRow("mid chain late") << 3 << qint64(200000);
    QTest::newRow("last step late") << 20 << qint64(1500000);
}

void TestQuotationChain::steadyChainCountsFromEachHandler()
{
    QFETCH(int, lateNumber);
    QFETCH(qint64, lateAt);

    Window window;
    window.clock.advanceTo(lateNumber * minute - 1);
    window.clock.setNow(lateAt);
    window.clock.advanceTo(longAfterTheEnd);

    Shows expected;
    for (int number = 1; number <= QuotationCount; ++number) {
        expected.append({number < lateNumber ? number * minute : lateAt + (number - lateNumber) * minute,
                         number});
    }
    QCOMPARE(window.shows, expected);
}

void TestQuotationChain::chainRunsWhileTheFaithBarIsHidden()
{
    Window window;
    QWidget form;
    auto *bar = new QStatusBar(&form);
    auto *panel = new QLabel(bar);
    bar->addWidget(panel);
    window.writePanel = [panel](const QString &text) { panel->setText(text); };
    form.show();
    bar->hide();

    window.clock.advanceTo(2 * minute + 30000);
    QVERIFY(!panel->isVisible());
    QCOMPARE(panel->text(), quotation(2));

    bar->show();
    QVERIFY(panel->isVisible());
    QCOMPARE(panel->text(), quotation(2));
    window.clock.advanceTo(3 * minute);
    QCOMPARE(panel->text(), quotation(3));
}

void TestQuotationChain::stopsWithItsOwner_data()
{
    QTest::addColumn<qint64>("closedAt");
    // The expiries due at closedAt are still waiting for the event loop.
    QTest::addColumn<bool>("dueUndelivered");
    QTest::addColumn<int>("shownBefore");

    QTest::newRow("before the first step") << qint64(30000) << false << 0;
    QTest::newRow("all twenty due, none delivered") << minute << true << 0;
    QTest::newRow("mid chain") << 2 * minute + 30000 << false << 2;
    QTest::newRow("next one due, not delivered") << 5 * minute << true << 4;
    QTest::newRow("after the last quotation") << 21 * minute << false << 20;
}

void TestQuotationChain::stopsWithItsOwner()
{
    QFETCH(qint64, closedAt);
    QFETCH(bool, dueUndelivered);
    QFETCH(int, shownBefore);

    Window window;
    if (dueUndelivered) {
        window.clock.advanceTo(closedAt - 1);
        window.clock.setNow(closedAt);
    } else {
        window.clock.advanceTo(closedAt);
    }
    QCOMPARE(window.shows.size(), shownBefore);

    delete window.owner;
    QVERIFY(!window.chain);
    window.clock.advanceTo(longAfterTheEnd);

    QCOMPARE(window.shows.size(), shownBefore);
    QVERIFY(window.errors.isEmpty());
}

void TestQuotationChain::handlerFailureIsARuntimeError_data()
{
    QTest::addColumn<int>("failingNumber");
    // Whether the report ends the program at once, or first waits in a message box while the
    // event loop runs on.
    QTest::addColumn<bool>("endsAtOnce");

    QTest::newRow("first quotation, program ends") << 1 << true;
    QTest::newRow("first quotation, report on screen") << 1 << false;
    QTest::newRow("Timer5's quotation, program ends") << 5 << true;
    QTest::newRow("Timer5's quotation, report on screen") << 5 << false;
    QTest::newRow("last quotation, program ends") << 20 << true;
}

void TestQuotationChain::handlerFailureIsARuntimeError()
{
    QFETCH(int, failingNumber);
    QFETCH(bool, endsAtOnce);

    Window window;
    window.writePanel = [failingNumber](const QString &text) {
        if (text == quotation(failingNumber))
            throw StepFailure("Panel 1 is gone");
    };
    if (!endsAtOnce)
        window.reportRuntimeError = [&window] { window.clock.advance(30 * minute); };
    window.clock.advanceTo(longAfterTheEnd);

    const QList<std::pair<qint64, QString>> errors{{failingNumber * minute, QStringLiteral("Panel 1 is gone")}};
    QCOMPARE(window.errors, errors);
    QCOMPARE(bool(window.chain), !endsAtOnce);
    if (window.chain)
        QCOMPARE(window.armed(), QList<int>{});
    // Every quotation before the failing one showed, and nothing after it.
    QCOMPARE(window.shows, expectedAfterFirst(1).first(failingNumber - 1));
}

// A real clock may tick over between one timer being armed and the next; here it ticks on
// every reading.
class TickingClock : public ManualClock
{
public:
    qint64 now() const override { return ManualClock::now() + m_reads++; }

private:
    mutable qint64 m_reads = 0;
};

void TestQuotationChain::armedTogetherWhileTheClockTicks()
{
    TickingClock clock;
    QStringList shown;
    QuotationChain chain(clock, [&shown](const QString &text) { shown.append(text); }, [](const QString &) {});
    clock.advanceTo(61000);
    QCOMPARE(shown, QStringList{quotation(1)});
    QVERIFY(chain.timer(2)->isEnabled());
}

QTEST_MAIN(TestQuotationChain)
#include "tst_quotationchain.moc"
