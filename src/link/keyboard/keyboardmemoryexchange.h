#pragma once

#include "link/keyboard/keyboardhandshake.h"
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
    void CaptureChanged(const QString &text) override { m_handshake.CaptureChanged(text); }
    void MemoryTextChanged(const QString &text) override;
    void MemoryEndKey() override;

    // Repetitions of the command so far (16 once the repeater gave up).
    int CommandTicks() const { return m_handshake.Ticks(); }

protected:
    void Stop() override;

private:
    void OnAcknowledged();
    // The exchange is over; the mask is released once more, as at the end of every keyboard
    // exchange.
    void Done();
    bool IsReceiving() const { return m_dataTimeout.isActive(); }

    MemoryTimings m_timings;
    KeyboardHandshake m_handshake;
    // Runs while the device types its memory.
    QTimer m_dataTimeout;
};
