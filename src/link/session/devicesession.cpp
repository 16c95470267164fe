#include "link/session/devicesession.h"

#include "link/keyboard/keyboardexchange.h"
#include "link/keyboard/keyboardmemoryexchange.h"
#include "link/serial/serialexchange.h"
#include "link/serial/serialmemoryexchange.h"
#include "link/serial/serialportline.h"
#include "link/session/scanlistener.h"
#include "link/wire/keyboardtext.h"

#include <QHash>

namespace {

QHash<QString, DeviceSession::LineMaker> &InProcessDevices()
{
    static QHash<QString, DeviceSession::LineMaker> devices;
    return devices;
}

} // namespace

DeviceSession::DeviceSession(const LinkSettings &settings, PortMapping *ports,
                             KeyboardPort *keyboard)
    : m_settings(&settings), m_ports(ports), m_keyboard(keyboard)
{
}

DeviceSession::DeviceSession(SerialTarget target, bool save)
    : m_target(std::move(target)), m_save(save)
{
}

bool DeviceSession::IsSerial() const
{
    return m_target || m_settings->LinkMode == LinkSettings::kByRs232;
}

QString DeviceSession::DeviceWords() const
{
    if (!IsSerial())
        return QStringLiteral("on the keyboard path");
    const int commPort = m_target ? m_target->commPort : m_settings->CommPort;
    if (commPort > 0)
        return QStringLiteral("on Com %1").arg(commPort);
    return QStringLiteral("on ") + m_target->device;
}

LinkExchange *DeviceSession::MakeExchange(ExchangeKind kind, Image &image,
                                          const LinkTimings &timings, QObject *parent) const
{
    if (IsSerial()) {
        const bool save = m_target ? m_save : m_settings->SaveFlag;
        SerialTarget target = Target();
        std::unique_ptr<SerialLine> line = MakeLine(target);
        return new SerialExchange(kind, std::move(line), std::move(target), image, save, timings,
                                  parent);
    }
    const LinkSettings *settings = m_settings;
    auto command = [kind, settings] {
        if (kind != ExchangeKind::Download)
            return QByteArray(kCommandUploadText);
        return QByteArray(settings->SaveFlag ? kCommandSaveText : kCommandNotSaveText);
    };
    return new KeyboardExchange(kind, m_keyboard, image, command, timings, parent);
}

MemoryExchange *DeviceSession::MakeMemoryExchange(MemoryKind kind, const MemoryTimings &timings,
                                                  QObject *parent) const
{
    if (IsSerial()) {
        SerialTarget target = Target();
        std::unique_ptr<SerialLine> line = MakeLine(target);
        return new SerialMemoryExchange(kind, std::move(line), std::move(target), timings, parent);
    }
    return new KeyboardMemoryExchange(kind, m_keyboard, timings, parent);
}

ScanListener *DeviceSession::MakeScanListener(QObject *parent) const
{
    if (!IsSerial())
        return nullptr;
    SerialTarget target = Target();
    std::unique_ptr<SerialLine> line = MakeLine(target);
    return new ScanListener(std::move(line), std::move(target), parent);
}

SerialTarget DeviceSession::Target() const
{
    // A window's "Com n" is looked up when the exchange is made: an adapter plugged in a
    // moment ago counts.
    return m_target ? *m_target : SerialTarget::FromSettings(*m_settings, m_ports);
}

void DeviceSession::ServeInProcess(const QString &device, LineMaker maker)
{
    if (maker)
        InProcessDevices().insert(device, std::move(maker));
    else
        InProcessDevices().remove(device);
}

std::unique_ptr<SerialLine> DeviceSession::MakeLine(const SerialTarget &target) const
{
    if (m_makeLine)
        return m_makeLine();
    const auto served = InProcessDevices().constFind(target.device);
    if (served != InProcessDevices().cend() && !target.device.isEmpty())
        return (*served)();
    return std::make_unique<SerialPortLine>();
}
