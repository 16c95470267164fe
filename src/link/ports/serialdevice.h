#pragma once

#include <QString>

// The device "Com 1" to "Com 4" stand for when nothing was chosen: /dev/ttyS0 to /dev/ttyS3
// (COM1 to COM4 on Windows).
QString StandardSerialDevice(int commPort);
// The standard device unless K30CFG_COM1 to K30CFG_COM4 name another one, such as a USB
// adapter or a pseudo-terminal; the choices of the port mapping are not consulted.
QString SerialPortDevice(int commPort);

// The variable that fixes a "Com n": K30CFG_COM1 to K30CFG_COM4.
QString ComVariableName(int commPort);
// Its value; empty when it is not set.
QString ComVariableValue(int commPort);
