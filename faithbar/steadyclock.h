#ifndef STEADYCLOCK_H
#define STEADYCLOCK_H

#include "clock.h"

#include <QElapsedTimer>
#include <QTimer>

// The program's clock: milliseconds on the monotonic clock since the clock was made.
class SteadyClock : public Clock
{
    Q_OBJECT

public:
    explicit SteadyClock(QObject *parent = nullptr);

    qint64 now() const override;
    void wakeAt(qint64 moment) override;

private:
    void wakeIfDue();

    QElapsedTimer m_elapsed;
    QTimer m_timer;
    qint64 m_wakeMoment = 0;
};

#endif // STEADYCLOCK_H
