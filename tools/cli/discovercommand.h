#pragma once

class QTextStream;
struct DeviceOptions;

// Probes the ports `devices` names, and every serial port present with `all`, for a K30 at
// each line setting it can be set to (the serial options' settings first), all ports at once.
// One line, or one JSON object, per port: found (settings and version), not found, busy or
// missing. Status 0 when a device was found, 1 when none, 5 when a port named was not to be
// had (busy, missing, or a "Com n" or serial number that leads nowhere).
int DiscoverCommand(const DeviceOptions &devices, bool all, QTextStream &out, QTextStream &err);
