#ifndef KEYSTROKE_H
#define KEYSTROKE_H

#include <QKeySequence>

// Sends a keystroke to whatever has the keyboard focus and returns once it has been
// processed. False when nothing has the focus.
bool sendKeystroke(QKeyCombination key);

#endif // KEYSTROKE_H
