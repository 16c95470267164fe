#include "link/serialmemoryexchange.h"

#include "link/memoryframes.h"

SerialMemoryExchange::SerialMemoryExchange(MemoryKind kind, SerialTarget target,
                                           const MemoryTimings &timings, QObject *parent)
    : MemoryExchange(kind, parent), m_target(std::move(target)), m_timings(timings)
{
    m_timeout.setSingleShot(true);
    // A coarse timer may fire a few percent early; the device is given its full time.
    m_timeout.setTimerType(Qt::PreciseTimer);
    connect(&m_timeout, &QTimer::timeout, this, &SerialMemoryExchange::OnTimeout);
    connect(&m_transport, &SerialTransport::Received, this, &SerialMemoryExchange::OnReceived);
}

void SerialMemoryExchange::Start()
{
    Begin();
    if (!m_transport.Open(m_target.device, m_target.settingsText)) {
        End(MemoryOutcome::PortNotAvailable);
        return;
    }
    // Stale input is discarded before the command goes out, so a fast answer is not lost.
    if (Kind() == MemoryKind::Clear) {
        m_transport.Arm(1);
        m_transport.Send(BuildMemoryClearFrame());
        m_state = State::WaitingForClear;
        m_timeout.start(m_timings.clearTimeout);
        return;
    }
    m_decoder.Reset();
    m_blocks = 0;
    m_transport.Arm(MemoryRecordDecoder::kBlockSize);
    m_transport.Send(BuildMemoryReadFrame());
    m_state = State::WaitingForBlock;
    m_timeout.start(m_timings.blockTimeout);
    Q_EMIT ReadStarted();
    Q_EMIT BlocksReceived(0, 0);
}

void SerialMemoryExchange::Abort()
{
    // A device in the middle of sending its memory is told to stop.
    if (m_state == State::WaitingForBlock) {
        m_transport.Send(QByteArray(1, kBlockReplyError));
        m_transport.Flush();
    }
    m_timeout.stop();
    m_transport.Close();
    m_state = State::Idle;
    Halt();
}

void SerialMemoryExchange::OnReceived(const QByteArray &bytes)
{
    switch (m_state) {
    case State::WaitingForClear:
        End(IsClearAccepted(bytes) ? MemoryOutcome::Good : MemoryOutcome::Bad);
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
    m_timeout.stop();
    ++m_blocks;
    const MemoryRecordDecoder::BlockResult result = m_decoder.Feed(block);
    if (!result.text.isEmpty())
        Q_EMIT RecordsDecoded(result.text);
    Q_EMIT BlocksReceived(m_decoder.GoodBlocks(), m_decoder.Records());
    switch (result.outcome) {
    case MemoryRecordDecoder::Outcome::More:
        if (m_blocks < m_timings.maximumBlocks) {
            // Armed before the reply goes out: the next block follows it at once.
            m_transport.Arm(MemoryRecordDecoder::kBlockSize);
            m_transport.Send(QByteArray(1, kBlockReplyMore));
            m_timeout.start(m_timings.blockTimeout);
            return;
        }
        // A device that never reaches its end marker is told to stop: asked for more, it
        // would send a block nobody reads, into the start of the next read.
        Reply(kBlockReplyError);
        End(MemoryOutcome::Incomplete);
        return;
    case MemoryRecordDecoder::Outcome::End:
        Reply(kBlockReplyEnd);
        End(MemoryOutcome::Good);
        return;
    default:
        Reply(kBlockReplyError);
        End(MemoryOutcome::Bad);
        return;
    }
}

void SerialMemoryExchange::OnTimeout()
{
    if (m_state == State::WaitingForBlock)
        Reply(kBlockReplyError);
    End(MemoryOutcome::TimeOut);
}

void SerialMemoryExchange::Reply(char reply)
{
    m_transport.Send(QByteArray(1, reply));
    m_transport.Flush();
}

void SerialMemoryExchange::End(MemoryOutcome outcome)
{
    m_timeout.stop();
    m_transport.Close();
    m_state = State::Idle;
    Finish(outcome, false, m_target.commPort);
}
