#ifndef MANUALCLOCK_H
#define MANUALCLOCK_H

#include "faithbar/clock.h"

#include <QtGlobal>

#include <algorithm>
#include <optional>

// A clock that a test moves by hand, in milliseconds from zero.
class ManualClock : public Clock
{
public:
    using Clock::Clock;

    qint64 now() const override { return m_now; }
    void wakeAt(qint64 moment) override { m_wake = moment; }

    // Moves time on to the given moment, stopping at every wake-up asked for on the way, so
    // that whoever asked sees the very moment it asked for.
    void advanceTo(qint64 moment)
    {
        int atSameMoment = 0;
        while (m_wake && *m_wake <= moment) {
            const qint64 next = std::max(m_now, *m_wake);
            atSameMoment = next == m_now ? atSameMoment + 1 : 0;
            if (atSameMoment > 100000)
                qFatal("ManualClock: endless wake-ups at %lld ms", m_now);
            m_now = next;
            m_wake.reset();
            Q_EMIT woken();
        }
        m_now = std::max(m_now, moment);
    }
    void advance(qint64 milliseconds) { advanceTo(m_now + milliseconds); }

    // Moves time on without waking anyone, as an event loop busy elsewhere would: what came
    // due meanwhile stays undelivered until the next advance.
    void setNow(qint64 moment) { m_now = std::max(m_now, moment); }

    std::optional<qint64> pendingWake() const { return m_wake; }

private:
    qint64 m_now = 0;
    std::optional<qint64> m_wake;
};

#endif // MANUALCLOCK_H
