#include "quotationchain.h"

#include "shell/guard.h"
#include "timer.h"
#include "timerqueue.h"

QuotationChain::QuotationChain(Clock &clock, PanelWriter writePanel, RuntimeError runtimeError,
                               QObject *parent)
    : QObject(parent)
    , m_writePanel(std::move(writePanel))
    , m_runtimeError(std::move(runtimeError))
    , m_queue(&TimerQueue::of(clock))
{
    setObjectName(QStringLiteral("QuotationChain"));
    // One clock reading for all twenty: a millisecond that ticks over while they are being
    // armed must not put a later timer ahead of Timer1.
    const TimerQueue::Moment together(*m_queue);
    for (int number = QuotationCount; number >= 1; --number) {
        // Ranked by number: when all twenty come due together, Timer1 goes first.
        auto *timer = new Timer(clock, number, this);
        timer->setObjectName(QStringLiteral("Timer%1").arg(number));
        timer->setInterval(interval);
        timer->setEnabled(true);
        connect(timer, &Timer::timeout, this, [this, number] { Timer_Timer(number); });
        m_timers[number - 1] = timer;
    }
}

const Timer *QuotationChain::timer(int number) const
{
    if (number < 1 || number > QuotationCount)
        return nullptr;
    return at(number);
}

bool QuotationChain::deliverIfDue(int number)
{
    if (number < 1 || number > QuotationCount)
        return false;
    return m_queue && m_queue->deliverIfDue(at(number));
}

void QuotationChain::Timer_Timer(int number)
{
    // A copy: reporting the error may end the program, and this chain with it.
    const RuntimeError runtimeError = m_runtimeError;
    const QPointer<QuotationChain> self(this);
    const auto fail = [&](const QString &message) {
        // The program ends with this report; while it is on screen the event loop still runs,
        // and no other quotation may come (nor fail again) behind it.
        if (self) {
            for (Timer *timer : std::as_const(m_timers))
                timer->setEnabled(false);
        }
        runtimeError(message);
    };
    unguarded(fail, [this, number] {
        m_writePanel(quotation(number));
        const int successor = number + 1;
        for (int other = 1; other <= QuotationCount; ++other) {
            if (other != successor)
                at(other)->setEnabled(false);
        }
        if (successor > QuotationCount)
            return;
        // Only the first two restart their successor; the others leave a running period alone.
        if (number <= 2)
            at(successor)->setEnabled(false);
        at(successor)->setEnabled(true);
    });
}
