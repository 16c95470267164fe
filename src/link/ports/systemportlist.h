#pragma once

#include "link/ports/portlist.h"

// The serial ports the system reports now (udev or /sys on Linux, the registry on Windows).
class SystemPortList final : public PortList
{
public:
    QList<PortDetails> Ports() const override;
};
