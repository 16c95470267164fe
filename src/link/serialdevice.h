#pragma once

#include "link/comroute.h"

#include <QString>
#include <QStringView>

#include <optional>

// The device "Com 1" to "Com 4" stand for when nothing was chosen: /dev/ttyS0 to /dev/ttyS3
// (COM1 to COM4 on Windows).
QString StandardSerialDevice(int commPort);
// The standard device unless K30CFG_COM1 to K30CFG_COM4 name another one, such as a USB
// adapter or a pseudo-terminal; the choices of the port mapping are not consulted.
QString SerialPortDevice(int commPort);

// The tool tip of "Com n" in the link settings: the device it reaches now, and on Linux the
// reasons it can be "not available" (missing, held by another program, no access without the
// dialout group), each with its remedy.
QString SerialPortToolTip(const ComRoute &route);

// The serial settings text "9600,N,8,1 " taken apart. The device link never uses parity.
struct SerialLineSettings
{
    int baud = 9600;
    int dataBits = 8;
    int stopBits = 1;
};

// Nothing when the text does not describe a line without parity; blanks around the parts
// do not count.
std::optional<SerialLineSettings> ParseSerialSettings(QStringView text);
