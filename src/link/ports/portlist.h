#pragma once

#include "link/ports/portdetails.h"

#include <QList>

// Where the serial ports present come from: the system (SystemPortList), or in the tests a
// list of adapters that come and go.
class PortList
{
public:
    virtual ~PortList() = default;
    virtual QList<PortDetails> Ports() const = 0;
};
