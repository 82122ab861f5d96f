#include "timer.h"

#include "timerqueue.h"

#include <algorithm>

Timer::Timer(Clock &clock, int rank, QObject *parent)
    : QObject(parent)
    , m_queue(&TimerQueue::of(clock))
    , m_rank(rank)
{
    m_queue->add(this);
}

Timer::~Timer()
{
    if (m_queue)
        m_queue->remove(this);
}

void Timer::setInterval(int milliseconds)
{
    milliseconds = std::max(0, milliseconds);
    if (milliseconds == m_interval)
        return;
    m_interval = milliseconds;
    if (m_enabled)
        startPeriod();
}

void Timer::setEnabled(bool enabled)
{
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    if (m_enabled) {
        startPeriod();
    } else if (m_queue) {
        m_queue->reschedule();
    }
}

bool Timer::isDue(qint64 now) const
{
    return m_enabled && m_interval > 0 && now >= m_periodEnd;
}

void Timer::startPeriod()
{
    if (!m_queue)
        return;
    m_periodEnd = m_queue->now() + m_interval;
    m_queue->reschedule();
}
