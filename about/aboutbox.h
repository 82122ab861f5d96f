#ifndef ABOUTBOX_H
#define ABOUTBOX_H

#include <QPointer>
#include <QString>

#include <functional>

class Dialog;
class Launcher;

// Shows the About box, one at a time. Owned by the program's main so that it outlives the
// main window: the box may stay open after the main window has closed.
class AboutBox
{
public:
    AboutBox(Launcher &launcher, std::function<void(const QString &)> runtimeError);
    ~AboutBox();

    AboutBox(const AboutBox &) = delete;
    AboutBox &operator=(const AboutBox &) = delete;

    // Brings the open box to the front, or opens a fresh one at its stored place.
    void show();

    // The open box, or null.
    Dialog *dialog() const;

private:
    Launcher &m_launcher;
    std::function<void(const QString &)> m_runtimeError;
    QPointer<Dialog> m_dialog;
};

#endif // ABOUTBOX_H
