#pragma once

class PortMapping;
class QTextStream;

// `ports`: the serial ports present, with what the system says of each (device, description,
// manufacturer, serial number, USB vendor and product), then the device each of "Com 1" to
// "Com 4" reaches and why. With `json` one line per port present, then one per "Com n", each
// with the keys of every line and the same keys of its own (see the manual).
int PortsCommand(const PortMapping &mapping, bool json, QTextStream &out);
