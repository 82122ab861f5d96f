#ifndef TIMERQUEUE_H
#define TIMERQUEUE_H

#include <QList>
#include <QObject>
#include <QPointer>

#include <optional>

class Clock;
class Timer;

// Delivers the expiries of the timers that run on one clock, one expiry per wake-up, so that
// every handler runs to completion and whatever it disarms is no longer due when the next one
// is chosen. Of the expiries due, the one that came due first goes first; equal moments go by
// rank, then by creation order.
//
// The clock keeps a single wake-up request, so one queue serves all timers on a clock: it is
// created with the first of them and lives as long as the clock.
class TimerQueue : public QObject
{
    Q_OBJECT

public:
    static TimerQueue &of(Clock &clock);

    ~TimerQueue() override;

    qint64 now() const;

    // While a Moment lives, every timer armed on this queue counts from the same clock
    // reading, so timers armed together come due together.
    class Moment
    {
    public:
        explicit Moment(TimerQueue &queue);
        ~Moment();
        Moment(const Moment &) = delete;
        Moment &operator=(const Moment &) = delete;

    private:
        QPointer<TimerQueue> m_queue;
    };

    // Delivers the timer's expiry at once if it is due, ahead of any other that is due with it.
    // Any order of simultaneous expiries is a legitimate one; tests use this to pick theirs.
    bool deliverIfDue(Timer *timer);

private:
    friend class Timer;

    explicit TimerQueue(Clock &clock);

    void add(Timer *timer);
    void remove(Timer *timer);
    void reschedule();
    void deliverNext();
    void deliver(Timer *timer, qint64 now);

    Clock &m_clock;
    QList<Timer *> m_timers;
    std::optional<qint64> m_requested;
    std::optional<qint64> m_heldNow;
};

#endif // TIMERQUEUE_H
