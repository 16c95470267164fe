#pragma once

#include <QString>

// The message box that reports an exchange of a link dialog, or asks before one.
struct LinkMessage
{
    QString text;
    QString title; // empty: the box has no title of its own
};

// "COM 4: not available.": the port number is written with the blank of a positive number.
QString PortNotAvailableText(int commPort);
// The serial port could not be opened; the box has no title of its own.
LinkMessage PortNotAvailableMessage(int commPort);

// The texts both link dialogs show when the device does not answer: a serial request that
// went unanswered, and a keyboard command repeated 15 times without its "S".
QString TimeOutText();
QString HandshakeTimeOutText();
// An exchange was asked for while another one of this program (another window's) still runs.
QString DeviceBusyText();
