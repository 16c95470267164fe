#include "link/serial/serialexchange.h"

#include "link/wire/linkframes.h"

SerialExchange::SerialExchange(ExchangeKind kind, std::unique_ptr<SerialLine> line,
                               SerialTarget target, Image &image, bool save,
                               const LinkTimings &timings, QObject *parent)
    : LinkExchange(kind, parent), m_target(std::move(target)), m_image(image), m_save(save),
      m_timings(timings), m_transport(std::move(line))
{
    connect(&m_transport, &SerialTransport::Received, this, &SerialExchange::OnReply);
    connect(&m_transport, &SerialTransport::TimedOut, this, &SerialExchange::OnTimeout);
}

void SerialExchange::Start()
{
    Begin();
    if (!m_transport.Open(m_target.device, m_target.settingsText)) {
        End(ExchangeOutcome::PortNotAvailable);
        return;
    }
    m_reply.clear();
    m_state = State::WaitingForReply;
    if (Kind() == ExchangeKind::Download) {
        m_transport.Request(BuildDownloadFrame(m_image, m_save), kDownloadReplyThreshold,
                            m_timings.downloadTimeout);
    } else {
        m_transport.Request(BuildUploadRequest(), kUploadReplyThreshold, m_timings.uploadTimeout);
    }
}

void SerialExchange::Stop()
{
    m_transport.Close();
    m_state = State::Idle;
    m_reply.clear();
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
    FinishWithAnswer(CheckSerialUploadReply(m_reply), m_image, m_target.commPort);
}

void SerialExchange::OnTimeout()
{
    // Part of an answer came, but not all that it announced: the device answered badly.
    End(m_reply.isEmpty() ? ExchangeOutcome::TimeOut : ExchangeOutcome::Bad);
}
