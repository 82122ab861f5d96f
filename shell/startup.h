#ifndef STARTUP_H
#define STARTUP_H

#include <functional>

class DesktopPlatform;

// The program from its first line to its last: the process settings the engine needs before
// the application object, the stop rules, the platform and the splash. `started` runs once the
// splash is up, just before the event loop; the program itself passes nothing, a driver that
// walks the program through its commands passes its script.
int runProgram(int &argc, char **argv, const std::function<void(DesktopPlatform &)> &started = {});

#endif // STARTUP_H
