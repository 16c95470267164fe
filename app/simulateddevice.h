#pragma once

#include "shell/mainwindow.h"
#include "sim/simdevice.h"
#include "sim/simkeyboardwedge.h"
#include "sim/simserialserver.h"

#include <QByteArray>
#include <QString>

#include <optional>

// A K30 that exists only inside this process, for trying the tool without hardware: the
// device simulator serves "Com 1" on a pseudo-terminal and types into the tool through the
// simulated keyboard wedge. `k30cfg --simulate` and its test set it up through this class.
class SimulatedDevice
{
public:
    SimulatedDevice();
    // Gives "Com 1" its former device back.
    ~SimulatedDevice();
    SimulatedDevice(const SimulatedDevice &) = delete;
    SimulatedDevice &operator=(const SimulatedDevice &) = delete;

    // Opens the pseudo-terminal and points "Com 1" at it (K30CFG_COM1 of this process).
    bool Start();
    QString ErrorString() const { return m_server.ErrorString(); }
    // The pseudo-terminal "Com 1" now stands for.
    QString PortPath() const { return m_server.Path(); }

    // What the main window is given: the wedge as its keyboard path, and the note that the
    // device is simulated.
    ShellSetup Setup();
    static QString StatusText();

    SimDevice &Device() { return m_device; }
    SimSerialServer &Server() { return m_server; }
    SimKeyboardWedge &Wedge() { return m_wedge; }

private:
    SimDevice m_device;
    SimSerialServer m_server{m_device};
    SimKeyboardWedge m_wedge{m_device};
    bool m_pointed = false;
    std::optional<QByteArray> m_previousCom1;
};
