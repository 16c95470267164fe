#pragma once

#include "core/linksettings.h"
#include "core/parameterimages.h"
#include "link/linkexchange.h"
#include "link/linktimings.h"
#include "link/serialtransport.h"

#include <QTimer>

// The serial port an exchange uses, fixed when it starts.
struct SerialTarget
{
    int commPort = 1;
    QString device;
    QString settingsText;

    static SerialTarget FromSettings(const LinkSettings &settings);
};

// Download, upload or version request over the serial port: open the port, send the request,
// wait for the reply (looked at once its threshold is buffered) or the time-out, close. An
// upload answer that announces more than the threshold (N + 24 bytes, N its first byte) is
// waited for whole within the same time-out; one that stops short of it is a bad answer.
class SerialExchange : public LinkExchange
{
    Q_OBJECT
public:
    // A download sends `image` with "Save" or "Not Save"; a good upload answer overwrites one
    // section of `image`; a version request only reads the answer.
    SerialExchange(ExchangeKind kind, SerialTarget target, Image &image, bool save,
                   const LinkTimings &timings = {}, QObject *parent = nullptr);

    void Start() override;
    void Abort() override;

private:
    enum class State
    {
        Idle,
        WaitingForReply
    };

    void OnReply(const QByteArray &bytes);
    void OnTimeout();
    void End(ExchangeOutcome outcome, const QString &version = {},
             std::optional<Section> section = std::nullopt);

    SerialTarget m_target;
    Image &m_image;
    bool m_save;
    LinkTimings m_timings;
    SerialTransport m_transport;
    QTimer m_timeout;
    State m_state = State::Idle;
    // What has arrived of an upload answer.
    QByteArray m_reply;
};
