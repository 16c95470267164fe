#pragma once

#include "link/linkexchange.h"
#include "link/linktimings.h"
#include "link/ui/linkdialog.h"
#include "link/ui/linksettingspanel.h"

class QPushButton;

// "Transmit": downloads the configuration into the device, uploads one section of it back
// and asks for the firmware version, over the serial port or the keyboard path chosen in the
// shared link settings.
class TransmitDialog : public LinkDialog
{
    Q_OBJECT
public:
    TransmitDialog(PageContext &context, QWidget *parent, const LinkTimings &timings = {});

Q_SIGNALS:
    // An upload has ended, its outcome not yet shown; a good one has overwritten a section of
    // ConfigImage.
    void UploadEnded();

private:
    void Download();
    void StartDownload();
    void Upload();
    void AskVersion();

    void StartExchange(ExchangeKind kind);
    void OnFinished(const ExchangeResult &result);

    const KeyboardLayoutSource *m_keyboardLayout = nullptr;
    LinkTimings m_timings;
    OptionFrame m_saveOption;
    // Set while the dialog shows the settings: selecting an option then stores nothing.
    bool m_showing = false;
};
