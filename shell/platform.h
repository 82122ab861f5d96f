#ifndef PLATFORM_H
#define PLATFORM_H

#include <QString>

class AboutBox;
class Clock;
class DocumentView;
class Launcher;
class QWidget;

// What the windows need of the world outside them. The program uses the desktop's; a test
// hands in its own, so that it can drive time, see launches and catch the program's end.
class Platform
{
public:
    virtual ~Platform() = default;

    // Full path of the running executable: the start page address is built from it.
    virtual QString executablePath() const = 0;
    virtual DocumentView *createDocumentView(QWidget *parent) = 0;
    virtual Clock &clock() = 0;
    virtual Launcher &launcher() = 0;
    // One About box at a time; it outlives the main window.
    virtual AboutBox &aboutBox() = 0;
    // Ends the program at once: every window goes, and no further handler runs.
    virtual void endProgram() = 0;
    // A failure in an unguarded handler: reported in a message box, then the program ends
    // with a non-zero exit code.
    virtual void runtimeError(const QString &message) = 0;
};

#endif // PLATFORM_H
