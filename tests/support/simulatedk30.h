#pragma once

#include "sim/simdevice.h"
#include "sim/simkeyboardwedge.h"
#include "sim/simserialserver.h"
#include "support/environmentguard.h"

#include <optional>

// A simulated K30 on a new pseudo-terminal, and the keyboard wedge to the same device: the
// serial tests' device. A test checks IsOpen() first.
class SimulatedK30
{
public:
    SimulatedK30() : m_open(server.OpenPseudoTerminal()) {}

    bool IsOpen() const { return m_open; }
    QString Path() const { return server.Path(); }
    // Until the device goes, "Com 1" leads to it (K30CFG_COM1), or to `path` when given.
    void AttachToCom1(const QString &path = {});
    // The port can be opened: no exchange holds it.
    bool PortIsFree() const;
    // The PC's replies to the memory blocks ("S", "P", "E"), in the order they came.
    QStringList Replies() const;

    SimDevice device;
    SimKeyboardWedge wedge{device};
    SimSerialServer server{device};

private:
    bool m_open = false;
    std::optional<EnvironmentGuard> m_com1;
};
