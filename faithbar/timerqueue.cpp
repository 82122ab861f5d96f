#include "timerqueue.h"

#include "clock.h"
#include "timer.h"

TimerQueue &TimerQueue::of(Clock &clock)
{
    if (auto *queue = clock.findChild<TimerQueue *>(QString(), Qt::FindDirectChildrenOnly))
        return *queue;
    return *new TimerQueue(clock);
}

TimerQueue::TimerQueue(Clock &clock)
    : QObject(&clock)
    , m_clock(clock)
{
    connect(&m_clock, &Clock::woken, this, &TimerQueue::deliverNext);
}

TimerQueue::~TimerQueue()
{
    // The clock is going: its timers stay, silent.
    for (Timer *timer : std::as_const(m_timers))
        timer->m_queue = nullptr;
}

qint64 TimerQueue::now() const
{
    return m_heldNow.value_or(m_clock.now());
}

TimerQueue::Moment::Moment(TimerQueue &queue)
    : m_queue(&queue)
{
    queue.m_heldNow = queue.m_clock.now();
}

TimerQueue::Moment::~Moment()
{
    if (m_queue)
        m_queue->m_heldNow.reset();
}

bool TimerQueue::deliverIfDue(Timer *timer)
{
    const qint64 moment = now();
    if (!timer || !m_timers.contains(timer) || !timer->isDue(moment))
        return false;
    deliver(timer, moment);
    return true;
}

void TimerQueue::add(Timer *timer)
{
    m_timers.append(timer);
}

void TimerQueue::remove(Timer *timer)
{
    m_timers.removeOne(timer);
    reschedule();
}

void TimerQueue::reschedule()
{
    std::optional<qint64> earliest;
    for (const Timer *timer : std::as_const(m_timers)) {
        if (timer->m_enabled && timer->m_interval > 0 && (!earliest || timer->m_periodEnd < *earliest))
            earliest = timer->m_periodEnd;
    }
    // With nothing armed an earlier request may stand: a wake-up that finds nothing due is harmless.
    if (earliest && earliest != m_requested) {
        m_requested = earliest;
        m_clock.wakeAt(*earliest);
    }
}

void TimerQueue::deliverNext()
{
    m_requested.reset();
    const qint64 moment = now();
    Timer *next = nullptr;
    for (Timer *timer : std::as_const(m_timers)) {
        if (!timer->isDue(moment))
            continue;
        if (!next || timer->m_periodEnd < next->m_periodEnd
            || (timer->m_periodEnd == next->m_periodEnd && timer->m_rank < next->m_rank)) {
            next = timer;
        }
    }
    if (next)
        deliver(next, moment);
    else
        reschedule();
}

void TimerQueue::deliver(Timer *timer, qint64 now)
{
    // The next period began when this one ended, not when its expiry is delivered; a delivery
    // late by several periods brings one expiry, not a burst.
    const qint64 late = now - timer->m_periodEnd;
    timer->m_periodEnd += (late / timer->m_interval + 1) * timer->m_interval;
    // Everything is settled before the handler runs: it may re-arm, disarm or delete timers,
    // this queue's clock included, and may wait in an event loop of its own.
    reschedule();
    Q_EMIT timer->timeout();
}
