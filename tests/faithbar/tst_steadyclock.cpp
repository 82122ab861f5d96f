#include "faithbar/steadyclock.h"
#include "faithbar/timer.h"

#include <QtTest>

class TestSteadyClock : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void wakesNoEarlierThanAsked_data();
    void wakesNoEarlierThanAsked();
    void laterRequestReplacesEarlier();
    void timersDueTogetherAllArrive();
};

void TestSteadyClock::wakesNoEarlierThanAsked_data()
{
    QTest::addColumn<qint64>("delay");

    QTest::newRow("moment already past") << qint64(-1000);
    QTest::newRow("now") << qint64(0);
    QTest::newRow("a few milliseconds on") << qint64(7);
    QTest::newRow("tens of milliseconds on") << qint64(40);
}

void TestSteadyClock::wakesNoEarlierThanAsked()
{
    QFETCH(qint64, delay);

    SteadyClock clock;
    QList<qint64> wokenAt;
    connect(&clock, &Clock::woken, this, [&] { wokenAt.append(clock.now()); });
    const qint64 moment = clock.now() + delay;
    clock.wakeAt(moment);

    QTRY_COMPARE(wokenAt.size(), 1);
    QVERIFY2(wokenAt.first() >= moment, qPrintable(QStringLiteral("woken at %1 for %2").arg(wokenAt.first()).arg(moment)));
}

void TestSteadyClock::laterRequestReplacesEarlier()
{
    SteadyClock clock;
    QList<qint64> wokenAt;
    connect(&clock, &Clock::woken, this, [&] { wokenAt.append(clock.now()); });
    const qint64 start = clock.now();
    clock.wakeAt(start + 2);
    clock.wakeAt(start + 60);

    QTRY_COMPARE(wokenAt.size(), 1);
    QVERIFY(wokenAt.first() >= start + 60);
}

void TestSteadyClock::timersDueTogetherAllArrive()
{
    SteadyClock clock;
    QList<int> delivered;
    std::vector<std::unique_ptr<Timer>> timers;
    for (int rank = 1; rank <= 3; ++rank) {
        auto timer = std::make_unique<Timer>(clock, rank);
        Timer *self = timer.get();
        connect(self, &Timer::timeout, this, [&delivered, self] {
            self->setEnabled(false);
            delivered.append(self->rank());
        });
        timers.push_back(std::move(timer));
    }
    const qint64 start = clock.now();
    for (const auto &timer : timers) {
        timer->setInterval(20);
        timer->setEnabled(true);
    }

    // Each delivery asks the event loop for the next: none may be left waiting.
    QTRY_COMPARE(delivered, (QList<int>{1, 2, 3}));
    QVERIFY(clock.now() >= start + 20);
}

QTEST_MAIN(TestSteadyClock)
#include "tst_steadyclock.moc"
