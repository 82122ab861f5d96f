#ifndef RECORDINGVIEW_H
#define RECORDINGVIEW_H

#include "shell/guard.h"
#include "view/documentview.h"

#include <QKeyEvent>
#include <QSet>
#include <QStringList>

// A document view that writes down every call. An operation named in `failing` reports
// failure; one named in `throwing` fails by throwing, as a broken step would.
class RecordingView : public DocumentView
{
public:
    explicit RecordingView(QWidget *parent = nullptr)
        : DocumentView(parent)
    {
        setFocusPolicy(Qt::StrongFocus);
    }

    QStringList calls;
    QSet<QString> failing;
    QSet<QString> throwing;
    bool focusOnSetFocus = true;

    bool Navigate(QString &address) override { return record(QStringLiteral("Navigate(%1)").arg(address), "Navigate"); }
    bool Navigate2(QString address) override { return record(QStringLiteral("Navigate2(%1)").arg(address), "Navigate2"); }
    bool GoBack() override { return record(QStringLiteral("GoBack"), "GoBack"); }
    bool GoForward() override { return record(QStringLiteral("GoForward"), "GoForward"); }
    bool ExecWB(qint32 command, qint32 option, std::optional<qint32> input) override
    {
        const QString call = input ? QStringLiteral("ExecWB(%1,%2,%3)").arg(command).arg(option).arg(*input)
                                   : QStringLiteral("ExecWB(%1,%2)").arg(command).arg(option);
        return record(call, "ExecWB");
    }
    bool SetFocus() override
    {
        const bool ok = record(QStringLiteral("SetFocus"), "SetFocus");
        if (ok && focusOnSetFocus)
            setFocus(Qt::OtherFocusReason);
        return ok;
    }

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        calls.append(QStringLiteral("Key(%1)").arg(QKeySequence(event->keyCombination()).toString()));
    }

private:
    bool record(const QString &call, const char *operation)
    {
        calls.append(call);
        if (throwing.contains(QLatin1String(operation)))
            throw StepFailure(operation);
        return !failing.contains(QLatin1String(operation));
    }
};

#endif // RECORDINGVIEW_H
