#ifndef PROCESSLAUNCHER_H
#define PROCESSLAUNCHER_H

#include "launcher.h"

#include <QStringList>

// Starts a command line as a detached process of its own: no shell, no window, no waiting,
// and its output goes nowhere.
class ProcessLauncher : public Launcher
{
public:
    bool launch(const QString &commandLine) override;

    // The program to start followed by its arguments, or an empty list when the line names
    // no program. "Start.exe", the opener of addresses, becomes the desktop's own.
    static QStringList resolve(const QString &commandLine);

private:
    static QStringList split(const QString &commandLine);
};

#endif // PROCESSLAUNCHER_H
