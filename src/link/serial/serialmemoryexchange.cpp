#include "link/serial/serialmemoryexchange.h"

#include "link/wire/memoryframes.h"

SerialMemoryExchange::SerialMemoryExchange(MemoryKind kind, std::unique_ptr<SerialLine> line,
                                           SerialTarget target, const MemoryTimings &timings,
                                           QObject *parent)
    : MemoryExchange(kind, parent), m_target(std::move(target)), m_timings(timings),
      m_transport(std::move(line))
{
    connect(&m_transport, &SerialTransport::Received, this, &SerialMemoryExchange::OnReceived);
    connect(&m_transport, &SerialTransport::TimedOut, this, &SerialMemoryExchange::OnTimeout);
}

void SerialMemoryExchange::Start()
{
    Begin();
    if (!m_transport.Open(m_target.device, m_target.settingsText)) {
        End(ExchangeOutcome::PortNotAvailable);
        return;
    }
    if (Kind() == MemoryKind::Clear) {
        m_state = State::WaitingForClear;
        m_transport.Request(BuildMemoryClearFrame(), 1, m_timings.clearTimeout);
        return;
    }
    m_decoder.Reset();
    m_blocks = 0;
    m_state = State::WaitingForBlock;
    m_transport.Request(BuildMemoryReadFrame(), MemoryRecordDecoder::kBlockSize,
                        m_timings.blockTimeout);
    Q_EMIT ReadStarted();
    Q_EMIT BlocksReceived(0, 0);
}

void SerialMemoryExchange::Abort()
{
    // A device in the middle of sending its memory is told to stop.
    if (m_state == State::WaitingForBlock)
        Reply(kBlockReplyError);
    MemoryExchange::Abort();
}

void SerialMemoryExchange::Stop()
{
    m_transport.Close();
    m_state = State::Idle;
}

void SerialMemoryExchange::OnReceived(const QByteArray &bytes)
{
    switch (m_state) {
    case State::WaitingForClear:
        End(IsClearAccepted(bytes) ? ExchangeOutcome::Good : ExchangeOutcome::Bad);
        break;
    case State::WaitingForBlock:
        OnBlock(bytes);
        break;
    case State::Idle:
        break;
    }
}

void SerialMemoryExchange::OnBlock(const QByteArray &block)
{
    m_transport.StopTimeout();
    ++m_blocks;
    const MemoryRecordDecoder::BlockResult result = m_decoder.Feed(block);
    if (!result.text.isEmpty())
        Q_EMIT RecordsDecoded(result.text, result.records);
    Q_EMIT BlocksReceived(m_decoder.GoodBlocks(), m_decoder.Records());
    switch (result.outcome) {
    case MemoryRecordDecoder::Outcome::More:
        if (m_blocks < m_timings.maximumBlocks) {
            // Armed before the reply goes out: the next block follows it at once.
            m_transport.Request(QByteArray(1, kBlockReplyMore), MemoryRecordDecoder::kBlockSize,
                                m_timings.blockTimeout);
            return;
        }
        // A device that never reaches its end marker is told to stop: asked for more, it
        // would send a block nobody reads, into the start of the next read.
        Reply(kBlockReplyError);
        End(ExchangeOutcome::Incomplete);
        return;
    case MemoryRecordDecoder::Outcome::End:
        Reply(kBlockReplyEnd);
        End(ExchangeOutcome::Good);
        return;
    default:
        Reply(kBlockReplyError);
        End(ExchangeOutcome::Bad);
        return;
    }
}

void SerialMemoryExchange::OnTimeout()
{
    if (m_state == State::WaitingForBlock)
        Reply(kBlockReplyError);
    End(ExchangeOutcome::TimeOut);
}

void SerialMemoryExchange::Reply(char reply)
{
    m_transport.Send(QByteArray(1, reply));
    m_transport.Flush();
}
