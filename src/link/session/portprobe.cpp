#include "link/session/portprobe.h"

#include "core/linksettings.h"
#include "link/serial/serialportline.h"
#include "link/wire/linkframes.h"

#include <QFileInfo>

#include <algorithm>

namespace {

// The speeds, data bits and stop bits the K30 can be set to, in the order they are tried.
constexpr int kProbeBauds[] = {9600, 19200, 4800, 2400};
constexpr int kProbeDataBits[] = {8, 7};
constexpr int kProbeStopBits[] = {1, 2};

bool DeviceCanBeSetTo(const SerialLineSettings &settings)
{
    return std::ranges::find(kProbeBauds, settings.baud) != std::end(kProbeBauds) &&
           std::ranges::find(kProbeDataBits, settings.dataBits) != std::end(kProbeDataBits) &&
           std::ranges::find(kProbeStopBits, settings.stopBits) != std::end(kProbeStopBits);
}

QString SettingsText(const SerialLineSettings &settings)
{
    return QString::number(settings.baud) + QLatin1Char(',') +
           LinkSettings::FrameText(settings.dataBits, settings.stopBits);
}

} // namespace

QList<SerialLineSettings> ProbeOrder(const SerialLineSettings &first)
{
    QList<SerialLineSettings> order;
    auto add = [&order](const SerialLineSettings &settings) {
        if (DeviceCanBeSetTo(settings) && !order.contains(settings))
            order.append(settings);
    };
    add(first);
    add(SerialLineSettings{});
    for (int baud : kProbeBauds) {
        for (int dataBits : kProbeDataBits) {
            for (int stopBits : kProbeStopBits)
                add({baud, dataBits, stopBits});
        }
    }
    return order;
}

LinkDuration LineTime(const SerialLineSettings &settings, int bytes)
{
    const qint64 bits = qint64(bytes) * (1 + settings.dataBits + settings.stopBits);
    return LinkDuration((bits * 1000 + settings.baud - 1) / settings.baud);
}

LinkDuration ProbeWait(const SerialLineSettings &settings, int bytes, LinkDuration margin)
{
    return LineTime(settings, int(BuildUploadRequest().size()) + bytes) + margin;
}

QString ProbeSettingsText(const SerialLineSettings &settings)
{
    return QStringLiteral("%1 %2 %3")
        .arg(settings.baud)
        .arg(settings.dataBits)
        .arg(settings.stopBits);
}

PortProbe::PortProbe(QString path, QList<SerialLineSettings> order, LinkDuration margin,
                     QObject *parent)
    : QObject(parent), m_path(std::move(path)), m_order(std::move(order)), m_margin(margin)
{
    m_result.path = m_path;
}

void PortProbe::Start()
{
    m_transport = std::make_unique<SerialTransport>(std::make_unique<SerialPortLine>());
    connect(m_transport.get(), &SerialTransport::Received, this, &PortProbe::OnReceived);
    m_wait = new QTimer(this);
    m_wait->setSingleShot(true);
    m_wait->setTimerType(Qt::PreciseTimer);
    connect(m_wait, &QTimer::timeout, this, &PortProbe::OnNoAnswer);
    m_running = true;
    m_next = 0;
    TryNext();
}

void PortProbe::Stop()
{
    m_running = false;
    if (m_wait)
        m_wait->stop();
    if (m_transport)
        m_transport->Close();
}

void PortProbe::TryNext()
{
    m_transport->Close();
    if (!m_running)
        return;
    if (m_next >= m_order.size()) {
        Finish(ProbeResult::Outcome::NotFound);
        return;
    }
    const SerialLineSettings &settings = m_order.at(m_next++);
    Q_EMIT Trying(m_path, settings);
    ++m_result.tried;
    if (!m_transport->Open(m_path, SettingsText(settings))) {
        // Refused at the first setting: another program has the port (or there is none).
        // Refused later: the port went away (a cable pulled, an adapter unplugged), which
        // is no port where no K30 answered, or it does not take this setting.
        if (!QFileInfo::exists(m_path)) {
            Finish(ProbeResult::Outcome::Missing);
            return;
        }
        if (m_next == 1) {
            Finish(ProbeResult::Outcome::Busy);
            return;
        }
        QMetaObject::invokeMethod(this, &PortProbe::TryNext, Qt::QueuedConnection);
        return;
    }
    m_result.settings = settings;
    m_goodAnswers = 0;
    Ask();
}

void PortProbe::Ask()
{
    m_reply.clear();
    m_transport->Arm(1);
    m_transport->Send(BuildUploadRequest());
    m_transport->Flush();
    m_wait->start(ProbeWait(m_result.settings, 1, m_margin));
}

void PortProbe::OnReceived(const QByteArray &bytes)
{
    if (!m_running || !m_wait->isActive())
        return;
    m_reply += bytes;
    const qsizetype announced = SerialUploadReplySize(m_reply);
    if (announced == 0) {
        // No version answer starts like this: a device at another speed, or not a K30.
        m_wait->stop();
        QMetaObject::invokeMethod(this, &PortProbe::TryNext, Qt::QueuedConnection);
        return;
    }
    if (m_reply.size() < announced) {
        // Byte by byte from here: noise that announced a long answer and then stopped is
        // left after a short pause, not after the time the whole answer would take.
        m_wait->start(LineTime(m_result.settings, 1) + kProbeByteGap);
        m_transport->ArmMore(1);
        return;
    }
    m_wait->stop();
    const auto answer = CheckSerialUploadReply(QByteArrayView(m_reply).first(announced));
    if (!answer) {
        QMetaObject::invokeMethod(this, &PortProbe::TryNext, Qt::QueuedConnection);
        return;
    }
    m_result.version1 = answer->version1;
    m_result.version2 = answer->version2;
    if (++m_goodAnswers < 2) {
        Ask();
        return;
    }
    Finish(ProbeResult::Outcome::Found);
}

void PortProbe::OnNoAnswer()
{
    TryNext();
}

void PortProbe::Finish(ProbeResult::Outcome outcome)
{
    m_transport->Close();
    m_running = false;
    m_result.outcome = outcome;
    if (outcome != ProbeResult::Outcome::Found) {
        m_result.settings = {};
        m_result.version1.clear();
        m_result.version2.clear();
    }
    Q_EMIT Done(m_result);
}
