#pragma once

#include "link/linkexchange.h"

#include <QString>

// The message box that reports an exchange of the transmit dialog.
struct LinkMessage
{
    QString text;
    QString title; // empty: the box has no title of its own
};

LinkMessage TransmitMessage(const ExchangeResult &result);

// "COM 4: not available.": the port number is written with the blank of a positive number.
QString PortNotAvailableText(int commPort);

// Asked before an upload (never before a version request), with OK and Cancel.
LinkMessage UploadQuestion();
