#ifndef TIMER_H
#define TIMER_H

#include <QObject>

class Clock;
class TimerQueue;

// A timer with the toolkit's classic behaviour rather than QTimer's:
// - arming an armed timer changes nothing: its period goes on and a due expiry stays due;
// - disarming drops an expiry that is due but not yet delivered;
// - arming a disarmed timer starts a full period from that moment;
// - while armed, a new period begins each time one ends, at the moment it ends.
// An interval of zero, the default, keeps the timer silent.
class Timer : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int interval READ interval WRITE setInterval)
    Q_PROPERTY(bool enabled READ isEnabled WRITE setEnabled)

public:
    // Of expiries due at the same moment, the timer with the lower rank is delivered first.
    Timer(Clock &clock, int rank, QObject *parent = nullptr);
    ~Timer() override;

    int interval() const { return m_interval; }
    // Milliseconds. A change while armed starts a fresh period.
    void setInterval(int milliseconds);

    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled);

    int rank() const { return m_rank; }

Q_SIGNALS:
    void timeout();

private:
    friend class TimerQueue;

    bool isDue(qint64 now) const;
    void startPeriod();

    TimerQueue *m_queue = nullptr;
    int m_rank = 0;
    int m_interval = 0;
    bool m_enabled = false;
    qint64 m_periodEnd = 0;
};

#endif // TIMER_H
