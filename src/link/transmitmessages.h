#pragma once

#include "link/linkexchange.h"
#include "link/linkmessage.h"

// The message box that reports an exchange of the transmit dialog.
LinkMessage TransmitMessage(const ExchangeResult &result);

// Asked before an upload (never before a version request), with OK and Cancel.
LinkMessage UploadQuestion();

// Asked before a download, with Yes and No: the question about the keyboard layout.
LinkMessage DownloadQuestion(const QString &text);
