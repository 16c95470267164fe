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
// wait for the reply (looked at once its threshold is buffered) or the time-out, close.
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

    void OnReply(const QByteArray &reply);
    void End(ExchangeOutcome outcome, const QString &version = {});

    SerialTarget m_target;
    Image &m_image;
    bool m_save;
    LinkTimings m_timings;
    SerialTransport m_transport;
    QTimer m_timeout;
    State m_state = State::Idle;
};
