#include "simulateddevice.h"

namespace {

constexpr char kCom1Variable[] = "K30CFG_COM1";

} // namespace

SimulatedDevice::SimulatedDevice() = default;

SimulatedDevice::~SimulatedDevice()
{
    m_server.Close();
    if (!m_pointed)
        return;
    if (m_previousCom1)
        qputenv(kCom1Variable, *m_previousCom1);
    else
        qunsetenv(kCom1Variable);
}

bool SimulatedDevice::Start()
{
    if (!m_server.OpenPseudoTerminal())
        return false;
    if (!m_pointed && qEnvironmentVariableIsSet(kCom1Variable))
        m_previousCom1 = qgetenv(kCom1Variable);
    // The transmit and memory dialogs look "Com 1" up each time they open the port.
    qputenv(kCom1Variable, m_server.Path().toLocal8Bit());
    m_pointed = true;
    return true;
}

ShellSetup SimulatedDevice::Setup()
{
    ShellSetup setup;
    setup.keyboard = &m_wedge;
    setup.initializeKeyboard = [this] { return m_wedge.InitializeWinIo(); };
    setup.statusText = StatusText();
    return setup;
}

QString SimulatedDevice::StatusText()
{
    return QStringLiteral("Simulated K30 on Com 1 and the keyboard path");
}
