#pragma once

#include "shell/mainwindow.h"
#include "sim/simdevice.h"
#include "sim/simkeyboardwedge.h"

#ifdef Q_OS_UNIX
#include "sim/simserialserver.h"
#endif

#include <QByteArray>
#include <QString>

#include <optional>

// A K30 that exists only inside this process, for trying the tool without hardware: "Com 1"
// leads to the device simulator, and it types into the tool through the simulated keyboard
// wedge. On UNIX "Com 1" is a pseudo-terminal the simulator serves, so the tool's own serial
// port code runs; Windows has no pseudo-terminals, and there "Com 1" is a serial line inside
// the process. `k30cfg --simulate` and its test set it up through this class.
class SimulatedDevice
{
public:
    SimulatedDevice();
    // Gives "Com 1" its former device back.
    ~SimulatedDevice();
    SimulatedDevice(const SimulatedDevice &) = delete;
    SimulatedDevice &operator=(const SimulatedDevice &) = delete;

    // Serves "Com 1" and points it there (K30CFG_COM1 of this process).
    bool Start();
    QString ErrorString() const;
    // The device "Com 1" now stands for.
    QString PortPath() const { return m_path; }

    // What the main window is given: the wedge as its keyboard path, and the note that the
    // device is simulated.
    ShellSetup Setup();
    static QString StatusText();

    SimDevice &Device() { return m_device; }
    SimKeyboardWedge &Wedge() { return m_wedge; }
#ifdef Q_OS_UNIX
    SimSerialServer &Server()
    {
        return m_server;
    }
#endif

private:
    void Stop();

    SimDevice m_device;
#ifdef Q_OS_UNIX
    SimSerialServer m_server{m_device};
#endif
    SimKeyboardWedge m_wedge{m_device};
    QString m_path;
    bool m_pointed = false;
    std::optional<QByteArray> m_previousCom1;
};
