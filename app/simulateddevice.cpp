#include "simulateddevice.h"

#include "link/session/devicesession.h"
#include "sim/simulatedline.h"

namespace {

constexpr char kCom1Variable[] = "K30CFG_COM1";

#ifndef Q_OS_UNIX
// The name "Com 1" stands for: no port of the system has it. A second simulated device in the
// same process gets a name of its own, so that ending it leaves the first one served.
QString InProcessName()
{
    static int started = 0;
    ++started;
    return started == 1 ? QStringLiteral("Simulated K30")
                        : QStringLiteral("Simulated K30 %1").arg(started);
}
#endif

} // namespace

SimulatedDevice::SimulatedDevice() = default;

SimulatedDevice::~SimulatedDevice()
{
    Stop();
    if (!m_pointed)
        return;
    if (m_previousCom1)
        qputenv(kCom1Variable, *m_previousCom1);
    else
        qunsetenv(kCom1Variable);
}

bool SimulatedDevice::Start()
{
    Stop();
#ifdef Q_OS_UNIX
    if (!m_server.OpenPseudoTerminal())
        return false;
    m_path = m_server.Path();
#else
    m_path = InProcessName();
    DeviceSession::ServeInProcess(m_path,
                                  [this] { return std::make_unique<SimulatedLine>(m_device); });
#endif
    if (!m_pointed && qEnvironmentVariableIsSet(kCom1Variable))
        m_previousCom1 = qgetenv(kCom1Variable);
    // The transmit and memory dialogs look "Com 1" up each time they open the port.
    qputenv(kCom1Variable, m_path.toLocal8Bit());
    m_pointed = true;
    return true;
}

void SimulatedDevice::Stop()
{
#ifdef Q_OS_UNIX
    m_server.Close();
#else
    if (!m_path.isEmpty())
        DeviceSession::ServeInProcess(m_path, {});
#endif
    m_path.clear();
}

QString SimulatedDevice::ErrorString() const
{
#ifdef Q_OS_UNIX
    return m_server.ErrorString();
#else
    return {};
#endif
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
