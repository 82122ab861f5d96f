#include "steadyclock.h"

#include <algorithm>
#include <limits>

SteadyClock::SteadyClock(QObject *parent)
    : Clock(parent)
{
    m_elapsed.start();
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &SteadyClock::wakeIfDue);
}

qint64 SteadyClock::now() const
{
    return m_elapsed.elapsed();
}

void SteadyClock::wakeAt(qint64 moment)
{
    m_wakeMoment = moment;
    m_timer.start(int(std::clamp<qint64>(moment - now(), 0, std::numeric_limits<int>::max())));
}

void SteadyClock::wakeIfDue()
{
    // The event loop's timers may round a little short; a wake-up never comes early.
    const qint64 remaining = m_wakeMoment - now();
    if (remaining > 0) {
        m_timer.start(int(std::min<qint64>(remaining, std::numeric_limits<int>::max())));
        return;
    }
    Q_EMIT woken();
}
