#pragma once

#include "core/parameterimages.h"
#include "link/linkexchange.h"
#include "link/linktimings.h"
#include "link/serial/serialline.h"
#include "link/serial/serialtarget.h"
#include "link/serial/serialtransport.h"

// Download, upload or version request over the serial port: open the port, send the request,
// wait for the reply (looked at once its threshold is buffered) or the time-out, close. An
// upload answer that announces more than the threshold (N + 24 bytes, N its first byte) is
// waited for whole within the same time-out; one that stops short of it is a bad answer.
class SerialExchange : public LinkExchange
{
    Q_OBJECT
public:
    // Talks through `line` to `target`. A download sends `image` with "Save" or "Not Save"; a
    // good upload answer overwrites one section of `image`; a version request only reads the
    // answer.
    SerialExchange(ExchangeKind kind, std::unique_ptr<SerialLine> line, SerialTarget target,
                   Image &image, bool save, const LinkTimings &timings = {},
                   QObject *parent = nullptr);

    void Start() override;

protected:
    void Stop() override;

private:
    enum class State
    {
        Idle,
        WaitingForReply
    };

    void OnReply(const QByteArray &bytes);
    void OnTimeout();
    void End(ExchangeOutcome outcome) { Finish(outcome, m_target.commPort); }

    SerialTarget m_target;
    Image &m_image;
    bool m_save;
    LinkTimings m_timings;
    SerialTransport m_transport;
    State m_state = State::Idle;
    // What has arrived of an upload answer.
    QByteArray m_reply;
};
