#ifndef GUARD_H
#define GUARD_H

#include <QString>

#include <exception>
#include <functional>
#include <initializer_list>
#include <stdexcept>

// A step of a handler fails by throwing. Operations that report failure by their result
// (the document view's) need no throw: a failure-tolerant handler drops that result anyway.
class StepFailure : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// Failure-tolerant handler: every step runs; a step that fails is dropped without a word.
inline void tolerant(std::initializer_list<std::function<void()>> steps)
{
    for (const auto &step : steps) {
        try {
            step();
        } catch (...) {
        }
    }
}

// Unguarded handler: a failure goes to the program's run-time error behaviour.
inline void unguarded(const std::function<void(const QString &)> &runtimeError,
                      const std::function<void()> &body)
{
    try {
        body();
    } catch (const std::exception &e) {
        runtimeError(QString::fromUtf8(e.what()));
    } catch (...) {
        runtimeError(QStringLiteral("Unknown error"));
    }
}

#endif // GUARD_H
