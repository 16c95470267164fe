#include "link/keyboard/keyboardmemoryexchange.h"

#include "link/wire/memoryframes.h"

KeyboardMemoryExchange::KeyboardMemoryExchange(MemoryKind kind, KeyboardPort *port,
                                               const MemoryTimings &timings, QObject *parent)
    : MemoryExchange(kind, parent), m_timings(timings),
      m_handshake(port, timings.repeaterInterval, timings.bytePause, &IsMemoryAcknowledgement)
{
    m_dataTimeout.setSingleShot(true);
    m_dataTimeout.setTimerType(Qt::PreciseTimer);
    connect(&m_dataTimeout, &QTimer::timeout, this, &KeyboardMemoryExchange::Done);
    connect(&m_handshake, &KeyboardHandshake::CaptureReset, this, &MemoryExchange::CaptureReset);
    connect(&m_handshake, &KeyboardHandshake::Acknowledged, this,
            &KeyboardMemoryExchange::OnAcknowledged);
    connect(&m_handshake, &KeyboardHandshake::TimedOut, this,
            [this] { Finish(ExchangeOutcome::HandshakeTimeOut, true); });
}

void KeyboardMemoryExchange::Start()
{
    Begin();
    const QByteArray command =
        Kind() == MemoryKind::Read ? kMemoryReadCommand : kMemoryClearCommand;
    m_handshake.Start([command] { return command; });
}

void KeyboardMemoryExchange::Stop()
{
    m_handshake.Stop();
    m_dataTimeout.stop();
}

void KeyboardMemoryExchange::MemoryTextChanged(const QString &text)
{
    if (!IsReceiving())
        return;
    Q_EMIT CharactersReceived(int(text.size()));
    if (IsKeyboardMemoryComplete(text))
        Done();
}

void KeyboardMemoryExchange::MemoryEndKey()
{
    if (IsReceiving())
        Done();
}

void KeyboardMemoryExchange::OnAcknowledged()
{
    // A clear is done once the device has acknowledged it.
    if (Kind() == MemoryKind::Clear) {
        Done();
        return;
    }
    m_dataTimeout.start(m_timings.keyboardDataTimeout);
    Q_EMIT ReadStarted();
    Q_EMIT CharactersReceived(0);
}

void KeyboardMemoryExchange::Done()
{
    // What was typed stays in the text area as it arrived; there is nothing to check.
    m_handshake.ReleaseMask();
    Finish(ExchangeOutcome::Good, true);
}
