#include "link/transmitmessages.h"

namespace {

QString CfgTitle()
{
    return QStringLiteral("CFG Message");
}

QString UploadTitle()
{
    return QStringLiteral("Upload Message");
}

LinkMessage DownloadMessage(ExchangeOutcome outcome)
{
    switch (outcome) {
    case ExchangeOutcome::Good:
        return {QStringLiteral("Download OK!"), CfgTitle()};
    case ExchangeOutcome::TimeOut:
        return {TimeOutText(), CfgTitle()};
    case ExchangeOutcome::HandshakeTimeOut:
        return {HandshakeTimeOutText(), CfgTitle()};
    default:
        return {QStringLiteral("Download Failed!"), CfgTitle()};
    }
}

LinkMessage UploadMessage(const ExchangeResult &result)
{
    switch (result.outcome) {
    case ExchangeOutcome::Good:
        if (result.kind == ExchangeKind::Version)
            return {QStringLiteral("Get Firmware Version OK!\r\r") + result.version, UploadTitle()};
        return {QStringLiteral("   Upload OK!   "), UploadTitle()};
    case ExchangeOutcome::TimeOut:
        return {TimeOutText(), UploadTitle()};
    case ExchangeOutcome::HandshakeTimeOut:
        return {HandshakeTimeOutText(), UploadTitle()};
    default:
        return {QStringLiteral("Upload Failed!"), UploadTitle()};
    }
}

} // namespace

LinkMessage TransmitMessage(const ExchangeResult &result)
{
    if (result.outcome == ExchangeOutcome::PortNotAvailable)
        return PortNotAvailableMessage(result.commPort);
    if (result.kind == ExchangeKind::Download)
        return DownloadMessage(result.outcome);
    return UploadMessage(result);
}

LinkMessage DownloadQuestion(const QString &text)
{
    return {text, CfgTitle()};
}

LinkMessage UploadQuestion()
{
    return {QStringLiteral("This will replace your current data with reader's data!"),
            UploadTitle()};
}
