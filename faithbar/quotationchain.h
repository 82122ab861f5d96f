#ifndef QUOTATIONCHAIN_H
#define QUOTATIONCHAIN_H

#include "quotations.h"

#include <QObject>
#include <QPointer>

#include <array>
#include <functional>

class Clock;
class Timer;
class TimerQueue;

// The twenty quotation timers, Timer1 to Timer20, that hand the faith bar on from one
// quotation to the next once a minute and stop at the twentieth. All twenty start armed, so
// the chain begins at whichever timer is delivered first.
class QuotationChain : public QObject
{
    Q_OBJECT

public:
    static constexpr int interval = 60000;

    // Sets the text of panel 1 of the faith bar; looked up each time a quotation is shown.
    using PanelWriter = std::function<void(const QString &text)>;
    // The program's run-time error behaviour, for a handler that fails.
    using RuntimeError = std::function<void(const QString &message)>;

    // Creates and arms Timer20 down to Timer1.
    QuotationChain(Clock &clock, PanelWriter writePanel, RuntimeError runtimeError,
                   QObject *parent = nullptr);

    // Timer1 to Timer20 by number, to look at; nullptr outside that range.
    const Timer *timer(int number) const;

    // Delivers Timer<number>'s expiry now if it is due, before the others due with it.
    bool deliverIfDue(int number);

private:
    void Timer_Timer(int number);
    Timer *at(int number) const { return m_timers[number - 1]; }

    PanelWriter m_writePanel;
    RuntimeError m_runtimeError;
    QPointer<TimerQueue> m_queue;
    std::array<Timer *, QuotationCount> m_timers{};
};

#endif // QUOTATIONCHAIN_H
