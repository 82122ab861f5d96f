#ifndef LAUNCHER_H
#define LAUNCHER_H

#include <QString>

// Starts a command line with no window and does not wait for it.
class Launcher
{
public:
    virtual ~Launcher() = default;
    virtual bool launch(const QString &commandLine) = 0;
};

#endif // LAUNCHER_H
