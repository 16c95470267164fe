#include "link/keyboard/keyboardmemoryexchange.h"

#include "link/keyboard/keyboardport.h"
#include "link/wire/memoryframes.h"

KeyboardMemoryExchange::KeyboardMemoryExchange(MemoryKind kind, KeyboardPort *port,
                                               const MemoryTimings &timings, QObject *parent)
    : MemoryExchange(kind, parent), m_port(port), m_timings(timings),
      m_repeater(port, timings.repeaterInterval, timings.bytePause)
{
    m_dataTimeout.setSingleShot(true);
    m_dataTimeout.setTimerType(Qt::PreciseTimer);
    connect(&m_dataTimeout, &QTimer::timeout, this, &KeyboardMemoryExchange::EndOfData);
    connect(&m_repeater, &CommandRepeater::GaveUp, this, [this] {
        ReleaseMask();
        End(ExchangeOutcome::HandshakeTimeOut);
    });
}

void KeyboardMemoryExchange::Start()
{
    Begin();
    m_state = State::Handshake;
    Q_EMIT CaptureReset();
    const QByteArray command =
        Kind() == MemoryKind::Read ? kMemoryReadCommand : kMemoryClearCommand;
    m_repeater.Start([command] { return command; });
}

void KeyboardMemoryExchange::Stop()
{
    m_repeater.Stop();
    m_dataTimeout.stop();
    m_state = State::Idle;
}

void KeyboardMemoryExchange::CaptureChanged(const QString &text)
{
    if (m_state == State::Handshake && IsMemoryAcknowledgement(text))
        OnAcknowledged();
}

void KeyboardMemoryExchange::MemoryTextChanged(const QString &text)
{
    if (m_state != State::ReceivingData)
        return;
    Q_EMIT CharactersReceived(int(text.size()));
    if (IsKeyboardMemoryComplete(text))
        EndOfData();
}

void KeyboardMemoryExchange::MemoryEndKey()
{
    if (m_state == State::ReceivingData)
        EndOfData();
}

void KeyboardMemoryExchange::OnAcknowledged()
{
    m_repeater.Stop();
    ReleaseMask();
    if (Kind() == MemoryKind::Clear) {
        ReleaseMask();
        End(ExchangeOutcome::Good);
        return;
    }
    m_state = State::ReceivingData;
    m_dataTimeout.start(m_timings.keyboardDataTimeout);
    Q_EMIT ReadStarted();
    Q_EMIT CharactersReceived(0);
}

void KeyboardMemoryExchange::EndOfData()
{
    // What was typed stays in the text area as it arrived; there is nothing to check.
    ReleaseMask();
    End(ExchangeOutcome::Good);
}

void KeyboardMemoryExchange::ReleaseMask()
{
    if (m_port)
        m_port->ReleaseInterruptMask();
}
