#ifndef TESTPLATFORM_H
#define TESTPLATFORM_H

#include "manualclock.h"
#include "recordingview.h"

#include "about/aboutbox.h"
#include "about/launcher.h"
#include "shell/platform.h"
#include "view/webbrowser.h"

#include <QApplication>
#include <QPointer>
#include <QStringList>
#include <QWidget>

class RecordingLauncher : public Launcher
{
public:
    QStringList launched;
    bool launch(const QString &commandLine) override
    {
        launched.append(commandLine);
        return true;
    }
};

// The platform a test hands to the windows: a clock it drives, a view that records calls (or
// the real one), and an end of the program that it can see instead of suffer.
class TestPlatform : public Platform
{
public:
    explicit TestPlatform(bool realView = false)
        : m_realView(realView)
        , m_aboutBox(launches, [this](const QString &message) { runtimeError(message); })
    {
    }

    QString path = QStringLiteral("/opt/books/ambervale");
    ManualClock manualClock;
    RecordingLauncher launches;
    QPointer<DocumentView> view;
    int endCount = 0;
    QStringList runtimeErrors;
    std::function<void(RecordingView &)> prepareView;

    RecordingView *recordingView() const { return dynamic_cast<RecordingView *>(view.data()); }

    QString executablePath() const override { return path; }
    DocumentView *createDocumentView(QWidget *parent) override
    {
        if (m_realView) {
            view = new WebBrowser(parent);
        } else {
            auto *recording = new RecordingView(parent);
            if (prepareView)
                prepareView(*recording);
            view = recording;
        }
        return view;
    }
    Clock &clock() override { return manualClock; }
    Launcher &launcher() override { return launches; }
    AboutBox &aboutBox() override { return m_aboutBox; }
    void endProgram() override
    {
        ++endCount;
        const auto windows = QApplication::topLevelWidgets();
        for (QWidget *window : windows)
            window->close();
    }
    void runtimeError(const QString &message) override { runtimeErrors.append(message); }

private:
    bool m_realView;
    AboutBox m_aboutBox;
};

#endif // TESTPLATFORM_H
