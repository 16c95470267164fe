#pragma once

#include "core/linkoptions.h"

#include <QString>

// How the PC reaches the K30. Shared by the transmit and the memory dialogs for the whole
// run; the port and the link mode are also stored in every configuration file. A new
// instance holds the start-up settings of core/linkoptions.h.
struct LinkSettings
{
    static constexpr int kByKeyboard = kLinkModeOptions[0].code;
    static constexpr int kByRs232 = kLinkModeOptions[1].code;

    int LinkMode = StartCode(kLinkModeGroup);
    int CommPort = StartCode(kPortGroup);
    QString BaudSetting = QString::number(StartCode(kBaudGroup));
    // Parity letter, comma, data bits, comma, stop bits, always six characters wide.
    QString FrameSetting = FrameText(StartCode(kDataBitsGroup), StartCode(kStopBitsGroup));
    // Download option: true = the device keeps the image ("Save"), false = "Not Save".
    bool SaveFlag = StartCode(kSaveGroup) != 0;
    bool UploadMode = false;

    // "9600,N,8,1 ": the settings text the serial line is opened with.
    QString SerialSettingsText() const { return BaudSetting + QLatin1Char(',') + FrameSetting; }
    int DataBits() const;
    int StopBits() const;

    // "N,8,1 ": no parity, the data and stop bits, padded to six characters.
    static QString FrameText(int dataBits, int stopBits);
};
