#include "faithbar/timer.h"
#include "faithbar/timerqueue.h"
#include "manualclock.h"

#include <QtTest>

#include <QPointer>

#include <memory>

namespace {

enum class Action {
    Arm,
    Disarm,
    // The clock reaches the moment while the event loop is busy: nothing is delivered yet.
    Hold,
};

struct Step
{
    qint64 at;
    Action action;
};

struct TimerSetup
{
    int rank;
    int interval;
    qint64 armedAt;
};

// Moves the clock to the step's moment, delivering what falls due on the way unless held.
void reach(ManualClock &clock, const Step &step)
{
    if (step.action == Action::Hold)
        clock.setNow(step.at);
    else if (step.at > clock.now())
        clock.advanceTo(step.at);
}

} // namespace

Q_DECLARE_METATYPE(QList<Step>)
Q_DECLARE_METATYPE(QList<TimerSetup>)

class TestTimer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void rules_data();
    void rules();
    void deliveryOrder_data();
    void deliveryOrder();
    void handlerMayDestroyTheTimers();
    void timersOutliveTheirClock();
};

void TestTimer::rules_data()
{
    QTest::addColumn<int>("interval");
    QTest::addColumn<QList<Step>>("steps");
    QTest::addColumn<qint64>("until");
    QTest::addColumn<QList<qint64>>("deliveries");
    QTest::addColumn<bool>("armedAtEnd");

    using enum Action;
    QTest::newRow("armed timer fires at the end of each period")
            << 1000 << QList<Step>{{0, Arm}} << qint64(3500) << QList<qint64>{1000, 2000, 3000} << true;
    QTest::newRow("period counts from the moment of arming")
            << 1000 << QList<Step>{{250, Arm}} << qint64(1500) << QList<qint64>{1250} << true;
    QTest::newRow("late delivery does not shift the next period")
            << 1000 << QList<Step>{{0, Arm}, {1400, Hold}} << qint64(2500) << QList<qint64>{1400, 2000} << true;
    QTest::newRow("disarming stops it at once")
            << 1000 << QList<Step>{{0, Arm}, {999, Disarm}} << qint64(5000) << QList<qint64>{} << false;
    QTest::newRow("disarming drops a due, undelivered expiry")
            << 1000 << QList<Step>{{0, Arm}, {1500, Hold}, {1500, Disarm}} << qint64(5000) << QList<qint64>{}
            << false;
    QTest::newRow("re-arming starts a fresh period")
            << 1000 << QList<Step>{{0, Arm}, {400, Disarm}, {700, Arm}} << qint64(2000) << QList<qint64>{1700}
            << true;
    QTest::newRow("disarm and arm while due: expiry dropped, fresh period")
            << 1000 << QList<Step>{{0, Arm}, {1000, Hold}, {1000, Disarm}, {1000, Arm}} << qint64(2500)
            << QList<qint64>{2000} << true;
    QTest::newRow("arming an armed timer keeps its running period")
            << 1000 << QList<Step>{{0, Arm}, {600, Arm}} << qint64(1500) << QList<qint64>{1000} << true;
    QTest::newRow("arming an armed timer keeps its due expiry")
            << 1000 << QList<Step>{{0, Arm}, {1400, Hold}, {1400, Arm}} << qint64(1900) << QList<qint64>{1400}
            << true;
    QTest::newRow("disarming a disarmed timer changes nothing")
            << 1000 << QList<Step>{{0, Arm}, {300, Disarm}, {500, Disarm}, {800, Arm}} << qint64(2500)
            << QList<qint64>{1800} << true;
    QTest::newRow("disarming a timer never armed changes nothing")
            << 1000 << QList<Step>{{200, Disarm}, {300, Arm}} << qint64(1500) << QList<qint64>{1300} << true;
    QTest::newRow("zero interval stays silent")
            << 0 << QList<Step>{{0, Arm}} << qint64(5000) << QList<qint64>{} << true;
}

void TestTimer::rules()
{
    QFETCH(int, interval);
    QFETCH(QList<Step>, steps);
    QFETCH(qint64, until);
    QFETCH(QList<qint64>, deliveries);
    QFETCH(bool, armedAtEnd);

    ManualClock clock;
    Timer timer(clock, 1);
    timer.setInterval(interval);
    QList<qint64> delivered;
    connect(&timer, &Timer::timeout, this, [&] { delivered.append(clock.now()); });

    for (const Step &step : steps) {
        reach(clock, step);
        if (step.action == Action::Arm)
            timer.setEnabled(true);
        else if (step.action == Action::Disarm)
            timer.setEnabled(false);
    }
    clock.advanceTo(until);

    QCOMPARE(delivered, deliveries);
    QCOMPARE(timer.isEnabled(), armedAtEnd);
}

void TestTimer::deliveryOrder_data()
{
    QTest::addColumn<QList<TimerSetup>>("timers");
    QTest::addColumn<qint64>("heldAt");
    // Index of a timer delivered ahead of the others at heldAt, or -1.
    QTest::addColumn<int>("first");
    QTest::addColumn<bool>("firstWasDue");
    // Index of a timer that the first handler to run disarms, or -1.
    QTest::addColumn<int>("disarmedByFirstHandler");
    QTest::addColumn<QList<int>>("order");

    QTest::newRow("due together: by rank, not by creation")
            << QList<TimerSetup>{{3, 1000, 0}, {1, 1000, 0}, {2, 1000, 0}} << qint64(1000) << -1 << false << -1
            << QList<int>{1, 2, 0};
    QTest::newRow("earliest due first, whatever the rank")
            << QList<TimerSetup>{{1, 1000, 0}, {2, 400, 0}, {3, 700, 0}} << qint64(1000) << -1 << false << -1
            << QList<int>{1, 2, 0};
    QTest::newRow("same moment, same rank: by creation")
            << QList<TimerSetup>{{5, 1000, 0}, {5, 1000, 0}, {4, 1000, 200}} << qint64(1500) << -1 << false << -1
            << QList<int>{0, 1, 2};
    QTest::newRow("a handler's disarm drops what was due with it")
            << QList<TimerSetup>{{1, 1000, 0}, {2, 1000, 0}, {3, 1000, 0}} << qint64(1000) << -1 << false << 1
            << QList<int>{0, 2};
    QTest::newRow("a due timer delivered first, the rest in order")
            << QList<TimerSetup>{{1, 1000, 0}, {2, 1000, 0}, {3, 1000, 0}} << qint64(1000) << 2 << true << -1
            << QList<int>{2, 0, 1};
    QTest::newRow("a timer not yet due cannot go first")
            << QList<TimerSetup>{{1, 1000, 0}, {2, 1000, 500}} << qint64(1000) << 1 << false << -1
            << QList<int>{0, 1};
}

void TestTimer::deliveryOrder()
{
    QFETCH(QList<TimerSetup>, timers);
    QFETCH(qint64, heldAt);
    QFETCH(int, first);
    QFETCH(bool, firstWasDue);
    QFETCH(int, disarmedByFirstHandler);
    QFETCH(QList<int>, order);

    ManualClock clock;
    std::vector<std::unique_ptr<Timer>> created;
    QList<int> delivered;
    for (const TimerSetup &setup : timers) {
        auto timer = std::make_unique<Timer>(clock, setup.rank);
        timer->setInterval(setup.interval);
        const int index = int(created.size());
        Timer *self = timer.get();
        connect(self, &Timer::timeout, this, [&, self, index] {
            self->setEnabled(false);
            if (delivered.isEmpty() && disarmedByFirstHandler >= 0)
                created[disarmedByFirstHandler]->setEnabled(false);
            delivered.append(index);
        });
        created.push_back(std::move(timer));
    }
    for (int index = 0; index < timers.size(); ++index) {
        clock.setNow(timers[index].armedAt);
        created[index]->setEnabled(true);
    }

    clock.setNow(heldAt);
    if (first >= 0)
        QCOMPARE(TimerQueue::of(clock).deliverIfDue(created[first].get()), firstWasDue);
    clock.advanceTo(heldAt + 10000);

    QCOMPARE(delivered, order);
}

void TestTimer::handlerMayDestroyTheTimers()
{
    ManualClock clock;
    auto *owner = new QObject;
    QPointer<QObject> alive(owner);
    int deliveries = 0;
    for (int rank = 1; rank <= 3; ++rank) {
        auto *timer = new Timer(clock, rank, owner);
        timer->setInterval(1000);
        timer->setEnabled(true);
        connect(timer, &Timer::timeout, this, [&] {
            ++deliveries;
            delete owner;
        });
    }

    clock.advanceTo(10000);

    QVERIFY(!alive);
    QCOMPARE(deliveries, 1);
}

void TestTimer::timersOutliveTheirClock()
{
    auto clock = std::make_unique<ManualClock>();
    Timer timer(*clock, 1);
    timer.setInterval(1000);
    timer.setEnabled(true);
    clock.reset();

    timer.setEnabled(false);
    timer.setEnabled(true);
    timer.setInterval(2000);
    QVERIFY(timer.isEnabled());
}

// The faith bar reads no document, so the res: scheme of the common test main is not needed.
QTEST_MAIN(TestTimer)
#include "tst_timer.moc"
