#pragma once

// Waiting for and answering the message boxes of the link dialogs as a user would, with a
// real event loop: QTest::qWait sleeps between its rounds, which would stretch the 4 ms
// pacing of the keyboard path.

#include <QString>

#include <functional>

class QAbstractButton;

// Runs the event loop until the condition holds or `timeoutMs` have passed.
bool WaitUntil(const std::function<bool()> &condition, int timeoutMs);

struct ShownMessage
{
    QString text;
    QString title;
    bool hasCancel = false;
};

// Waits for the next message box, reads it and presses OK (or Cancel); the text
// "<no message>" when none came.
ShownMessage AnswerBox(int timeoutMs, bool cancel = false);

struct EndMessage
{
    QString text; // empty: none came
    qint64 elapsedMs = -1;
};

// Clicks `start`, answers the question before the exchange (the box with Cancel) with OK and
// waits up to `timeoutMs` for the box the exchange ends with: its text, and how long after the
// click or the answered question it came.
EndMessage RunToMessage(QAbstractButton *start, int timeoutMs);

// Deletes the modal windows a failed check has left open.
void CloseModalWindows();
