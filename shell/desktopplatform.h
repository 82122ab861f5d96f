#ifndef DESKTOPPLATFORM_H
#define DESKTOPPLATFORM_H

#include "platform.h"

#include <QObject>
#include <QPointer>

#include <memory>

class ProcessLauncher;
class SteadyClock;
class WebBrowser;

// The platform the program runs on: the steady clock, the desktop's launcher, message boxes
// and the end of the program.
class DesktopPlatform : public QObject, public Platform
{
    Q_OBJECT

public:
    DesktopPlatform();
    ~DesktopPlatform() override;

    // Starts the engine and loads the book behind the splash, so that the main window does
    // not wait for either.
    void warmUp();

    QString executablePath() const override;
    DocumentView *createDocumentView(QWidget *parent) override;
    Clock &clock() override;
    Launcher &launcher() override;
    AboutBox &aboutBox() override;
    void endProgram() override;
    void runtimeError(const QString &message) override;

private:
    void end(int exitCode);

    std::unique_ptr<SteadyClock> m_clock;
    std::unique_ptr<ProcessLauncher> m_launcher;
    std::unique_ptr<AboutBox> m_aboutBox;
    QPointer<WebBrowser> m_warmView;
};

#endif // DESKTOPPLATFORM_H
