#pragma once

#include <QString>

// How the PC reaches the K30. Shared by the transmit and the memory dialogs for the whole
// run; the port and the link mode are also stored in every configuration file.
struct LinkSettings
{
    static constexpr int kByKeyboard = 0;
    static constexpr int kByRs232 = 1;

    int LinkMode = kByKeyboard;
    int CommPort = 1;
    QString BaudSetting = QStringLiteral("9600");
    // Parity letter, comma, data bits, comma, stop bits, always six characters wide.
    QString FrameSetting = QStringLiteral("N,8,1 ");
    // Download option: true = the device keeps the image ("Save"), false = "Not Save".
    bool SaveFlag = true;
    bool UploadMode = false;

    // "9600,N,8,1 ": the settings text the serial line is opened with.
    QString SerialSettingsText() const { return BaudSetting + QLatin1Char(',') + FrameSetting; }
    int DataBits() const;
    int StopBits() const;
};
