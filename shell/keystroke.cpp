#include "keystroke.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

bool sendKeystroke(QKeyCombination key)
{
    QWidget *target = QApplication::focusWidget();
    if (!target)
        return false;
    QKeyEvent press(QEvent::KeyPress, key.key(), key.keyboardModifiers());
    QApplication::sendEvent(target, &press);
    // The press may have moved the focus (a dialog opened): the release goes where the press went.
    QKeyEvent release(QEvent::KeyRelease, key.key(), key.keyboardModifiers());
    QApplication::sendEvent(target, &release);
    return true;
}
