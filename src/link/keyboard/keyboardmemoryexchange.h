#pragma once

#include "link/keyboard/commandrepeater.h"
#include "link/memoryexchange.h"
#include "link/memorytimings.h"

#include <QTimer>

class KeyboardPort;

// Memory read or clear over the keyboard path. "MMMMM" (read) or "NNNNN" (clear) is repeated
// until the last character typed into the capture box is "S". A clear is then done; a read
// takes what the device types into the memory text area until the character of code 3, more
// than 3000 characters, or its time-out.
class KeyboardMemoryExchange : public MemoryExchange
{
    Q_OBJECT
public:
    KeyboardMemoryExchange(MemoryKind kind, KeyboardPort *port, const MemoryTimings &timings = {},
                           QObject *parent = nullptr);

    void Start() override;
    void CaptureChanged(const QString &text) override;
    void MemoryTextChanged(const QString &text) override;
    void MemoryEndKey() override;

    // Repetitions of the command so far (16 once the repeater gave up).
    int CommandTicks() const { return m_repeater.Ticks(); }

protected:
    void Stop() override;

private:
    enum class State
    {
        Idle,
        Handshake,     // repeating the command, waiting for "S"
        ReceivingData, // read: the device types its memory
    };

    void OnAcknowledged();
    void EndOfData();
    void ReleaseMask();
    void End(ExchangeOutcome outcome) { Finish(outcome, true); }

    KeyboardPort *m_port;
    MemoryTimings m_timings;
    CommandRepeater m_repeater;
    QTimer m_dataTimeout;
    State m_state = State::Idle;
};
