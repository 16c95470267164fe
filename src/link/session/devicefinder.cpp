#include "link/session/devicefinder.h"

#include "core/linksettings.h"
#include "link/ports/portmapping.h"
#include "link/ports/serialdevice.h"

#include <QFileInfo>
#include <QSet>
#include <QThread>

QStringList DistinctPorts(const QStringList &paths)
{
    QStringList distinct;
    QSet<QString> seen;
    for (const QString &path : paths) {
        const QString canonical = QFileInfo(path).canonicalFilePath();
        const QString key = canonical.isEmpty() ? path : canonical;
        if (seen.contains(key))
            continue;
        seen.insert(key);
        distinct.append(path);
    }
    return distinct;
}

namespace {

bool SamePort(const QString &a, const QString &b)
{
    if (a.isEmpty() || b.isEmpty())
        return false;
    const QString canonicalA = QFileInfo(a).canonicalFilePath();
    return a == b || (!canonicalA.isEmpty() && canonicalA == QFileInfo(b).canonicalFilePath());
}

} // namespace

int ComPortReaching(const PortMapping &ports, const QString &path)
{
    for (int n = 1; n <= kComPortCount; ++n) {
        if (SamePort(ports.Route(n).device, path))
            return n;
    }
    return 0;
}

int UseFoundDevice(const ProbeResult &found, const PortDetails &port, PortMapping &ports,
                   LinkSettings &settings)
{
    int commPort = ComPortReaching(ports, found.path);
    if (commPort == 0) {
        PortChoices choices = ports.Choices();
        // Preferably a "Com n" that leads to no port present; else one that leads to a
        // built-in port only because nothing was chosen for it.
        for (const bool leadsNowhere : {true, false}) {
            for (int n = 1; n <= kComPortCount && commPort == 0; ++n) {
                if (!choices[n - 1] && ComVariableValue(n).isEmpty() &&
                    (!leadsNowhere || !ports.Route(n).port))
                    commPort = n;
            }
        }
        if (commPort == 0)
            return 0;
        PortDetails chosen = port;
        chosen.path = found.path;
        choices[commPort - 1] = PortChoice::Of(chosen);
        ports.SetChoices(choices);
    }
    settings.LinkMode = LinkSettings::kByRs232;
    settings.CommPort = commPort;
    settings.BaudSetting = QString::number(found.settings.baud);
    settings.FrameSetting =
        LinkSettings::FrameText(found.settings.dataBits, found.settings.stopBits);
    return commPort;
}

DeviceFinder::DeviceFinder(QObject *parent) : QObject(parent) {}

DeviceFinder::~DeviceFinder()
{
    Stop();
}

QStringList DeviceFinder::Ports() const
{
    QStringList ports;
    for (const ProbeResult &result : m_results)
        ports.append(result.path);
    return ports;
}

void DeviceFinder::Start(const QStringList &paths, const SerialLineSettings &first,
                         LinkDuration margin)
{
    Stop();
    m_results.clear();
    m_order = ProbeOrder(first);
    m_tried = 0;
    const QStringList ports = DistinctPorts(paths);
    for (int index = 0; index < ports.size(); ++index) {
        ProbeResult waiting;
        waiting.path = ports.at(index);
        m_results.append(waiting);
        auto *thread = new QThread;
        auto *probe = new PortProbe(ports.at(index), m_order, margin);
        probe->moveToThread(thread);
        connect(thread, &QThread::started, probe, &PortProbe::Start);
        // The probe is deleted in its own thread, which closes its port there.
        connect(thread, &QThread::finished, probe, &QObject::deleteLater);
        connect(probe, &PortProbe::Trying, this, &DeviceFinder::OnTrying);
        connect(probe, &PortProbe::Done, this,
                [this, index](const ProbeResult &result) { OnDone(index, result); });
        connect(probe, &PortProbe::Done, thread, &QThread::quit);
        m_threads.push_back(thread);
    }
    m_running = int(m_threads.size());
    for (QThread *thread : m_threads)
        thread->start();
    if (m_running == 0)
        QMetaObject::invokeMethod(this, &DeviceFinder::Finished, Qt::QueuedConnection);
}

void DeviceFinder::Stop()
{
    m_running = 0;
    for (QThread *thread : m_threads) {
        thread->quit();
        thread->wait();
        delete thread;
    }
    m_threads.clear();
}

void DeviceFinder::OnTrying(const QString &path, const SerialLineSettings &settings)
{
    if (m_running == 0)
        return;
    ++m_tried;
    Q_EMIT Trying(path, settings);
    Q_EMIT Progress(m_tried, int(m_results.size() * m_order.size()));
}

void DeviceFinder::OnDone(int index, const ProbeResult &result)
{
    if (m_running == 0 || index >= m_results.size())
        return;
    m_results[index] = result;
    // A port that ended early will try no more settings: the bar moves on by those.
    m_tried += int(m_order.size()) - result.tried;
    Q_EMIT Progress(m_tried, int(m_results.size() * m_order.size()));
    Q_EMIT PortDone(index, result);
    if (--m_running == 0)
        Q_EMIT Finished();
}
