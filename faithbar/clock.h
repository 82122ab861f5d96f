#ifndef CLOCK_H
#define CLOCK_H

#include <QObject>

// Milliseconds of real time, and one wake-up call. The program runs on the steady clock;
// tests run on a clock they advance by hand.
class Clock : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    virtual qint64 now() const = 0;
    // Asks for woken() at or after the given moment; a later request replaces an earlier one.
    virtual void wakeAt(qint64 moment) = 0;

Q_SIGNALS:
    void woken();
};

#endif // CLOCK_H
