#pragma once

#include "core/memoryrecorddecoder.h"
#include "link/memoryexchange.h"
#include "link/memorytimings.h"
#include "link/serial/serialline.h"
#include "link/serial/serialtarget.h"
#include "link/serial/serialtransport.h"

// Memory read or clear over the serial port. A read sends its command, then takes blocks of
// 65 bytes, each within its own time-out, answering every one with "S" (more), "P" (end of
// data) or "E" (bad block, time-out, or the block bound reached); the records are decoded as
// the blocks come. Every read ends with "P" or "E", so the device is never left sending.
// A clear sends its command and waits for the one-byte answer.
class SerialMemoryExchange : public MemoryExchange
{
    Q_OBJECT
public:
    // Talks through `line` to `target`.
    SerialMemoryExchange(MemoryKind kind, std::unique_ptr<SerialLine> line, SerialTarget target,
                         const MemoryTimings &timings = {}, QObject *parent = nullptr);

    void Start() override;
    void Abort() override;

    const MemoryRecordDecoder &Decoder() const { return m_decoder; }

protected:
    void Stop() override;

private:
    enum class State
    {
        Idle,
        WaitingForBlock,
        WaitingForClear,
    };

    void OnReceived(const QByteArray &bytes);
    void OnBlock(const QByteArray &block);
    void OnTimeout();
    void Reply(char reply);
    void End(ExchangeOutcome outcome)
    {
        Finish(outcome, false, m_target.commPort, m_decoder.Records(), m_decoder.FailedRecords());
    }

    SerialTarget m_target;
    MemoryTimings m_timings;
    SerialTransport m_transport;
    MemoryRecordDecoder m_decoder;
    int m_blocks = 0;
    State m_state = State::Idle;
};
