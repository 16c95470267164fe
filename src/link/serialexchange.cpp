#include "link/serialexchange.h"

#include "link/linkframes.h"
#include "link/serialdevice.h"

SerialTarget SerialTarget::FromSettings(const LinkSettings &settings)
{
    return {settings.CommPort, SerialPortDevice(settings.CommPort), settings.SerialSettingsText()};
}

SerialExchange::SerialExchange(ExchangeKind kind, SerialTarget target, Image &image, bool save,
                               const LinkTimings &timings, QObject *parent)
    : LinkExchange(kind, parent), m_target(std::move(target)), m_image(image), m_save(save),
      m_timings(timings)
{
    m_timeout.setSingleShot(true);
    // A coarse timer may fire a few percent early; the device is given its full time.
    m_timeout.setTimerType(Qt::PreciseTimer);
    connect(&m_timeout, &QTimer::timeout, this, &SerialExchange::OnTimeout);
    connect(&m_transport, &SerialTransport::Received, this, &SerialExchange::OnReply);
}

void SerialExchange::Start()
{
    Begin();
    if (!m_transport.Open(m_target.device, m_target.settingsText)) {
        End(ExchangeOutcome::PortNotAvailable);
        return;
    }
    const bool download = Kind() == ExchangeKind::Download;
    m_reply.clear();
    // Stale input is discarded before the request goes out, so a fast answer is not lost.
    m_transport.Arm(download ? kDownloadReplyThreshold : kUploadReplyThreshold);
    m_transport.Send(download ? BuildDownloadFrame(m_image, m_save) : BuildUploadRequest());
    m_state = State::WaitingForReply;
    m_timeout.start(download ? m_timings.downloadTimeout : m_timings.uploadTimeout);
}

void SerialExchange::Abort()
{
    m_timeout.stop();
    m_transport.Close();
    m_state = State::Idle;
    Halt();
}

void SerialExchange::OnReply(const QByteArray &bytes)
{
    if (m_state != State::WaitingForReply)
        return;
    if (Kind() == ExchangeKind::Download) {
        End(IsDownloadAccepted(bytes) ? ExchangeOutcome::Good : ExchangeOutcome::Bad);
        return;
    }
    m_reply += bytes;
    // A decoder answer may announce up to 255 parameter bytes, more than the threshold: at
    // line speed its rest is still on the way when the threshold is reached.
    const qsizetype announced = SerialUploadReplySize(m_reply);
    if (m_reply.size() < announced) {
        m_transport.ArmMore(int(announced - m_reply.size()));
        return;
    }
    const auto answer = CheckSerialUploadReply(m_reply);
    if (!answer) {
        End(ExchangeOutcome::Bad);
        return;
    }
    if (Kind() == ExchangeKind::Upload)
        ApplyUploadAnswer(*answer, m_image);
    End(ExchangeOutcome::Good, VersionText(*answer), answer->section);
}

void SerialExchange::OnTimeout()
{
    // Part of an answer came, but not all that it announced: the device answered badly.
    End(m_reply.isEmpty() ? ExchangeOutcome::TimeOut : ExchangeOutcome::Bad);
}

void SerialExchange::End(ExchangeOutcome outcome, const QString &version,
                         std::optional<Section> section)
{
    m_timeout.stop();
    m_transport.Close();
    m_state = State::Idle;
    m_reply.clear();
    Finish(outcome, m_target.commPort, version, section);
}
