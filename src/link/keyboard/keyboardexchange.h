#pragma once

#include "core/parameterimages.h"
#include "link/keyboard/keyboardhandshake.h"
#include "link/keyboard/keyboardwriter.h"
#include "link/linkexchange.h"
#include "link/linktimings.h"

#include <QTimer>

#include <functional>

class KeyboardPort;

// Download, upload or version request over the keyboard path. The command is repeated until
// the device types "S" into the capture box; then a download writes its 172 hexadecimal
// characters and waits for "P", an upload waits for the 145 characters of the answer.
class KeyboardExchange : public LinkExchange
{
    Q_OBJECT
public:
    // `command` gives the five letters to repeat, asked at every repetition. A download sends
    // `image`; a good upload answer overwrites one section of it; a version request only
    // reads the answer.
    KeyboardExchange(ExchangeKind kind, KeyboardPort *port, Image &image,
                     std::function<QByteArray()> command, const LinkTimings &timings = {},
                     QObject *parent = nullptr);

    void Start() override;
    void CaptureChanged(const QString &text) override;

    // Repetitions of the command so far (16 once the repeater gave up).
    int CommandTicks() const { return m_handshake.Ticks(); }

protected:
    void Stop() override;

private:
    enum class State
    {
        Idle,
        Handshake,     // repeating the command, waiting for "S"
        PauseForData,  // the device gets a moment between its "S" and the data
        SendingData,   // download: 172 characters, paced
        WaitingFinal,  // download: waiting for "P"
        ReceivingData, // upload: waiting for 145 characters
    };

    void OnHandshake();
    void OnDataWritten();
    void OnTimeout();
    void CheckUpload();

    Image &m_image;
    std::function<QByteArray()> m_command;
    LinkTimings m_timings;
    KeyboardHandshake m_handshake;
    KeyboardWriter m_writer;
    QTimer m_timer;
    QString m_capture;
    State m_state = State::Idle;
};
