#include "link/memorymessages.h"

namespace {

QString ReadTitle()
{
    return QStringLiteral("Read Memory Message");
}

QString ClearTitle()
{
    return QStringLiteral("Clear Memory Message");
}

std::optional<LinkMessage> ReadMessage(const MemoryResult &result)
{
    switch (result.outcome) {
    case MemoryOutcome::Good:
        if (result.keyboard)
            return std::nullopt;
        return LinkMessage{QStringLiteral("   Read Decoder Memory OK!\r\r"), ReadTitle()};
    case MemoryOutcome::Incomplete:
        return LinkMessage{QStringLiteral("Read Decoder Memory Incomplete: the data did not end "
                                          "within the blocks a read takes. Not all data was "
                                          "read!"),
                           ReadTitle()};
    case MemoryOutcome::TimeOut:
        return LinkMessage{TimeOutText(), ReadTitle()};
    case MemoryOutcome::HandshakeTimeOut:
        return LinkMessage{HandshakeTimeOutText(), QStringLiteral("Read Decoder Memory Message")};
    default:
        return LinkMessage{QStringLiteral("Read Decoder Memory Failed!"), ReadTitle()};
    }
}

LinkMessage ClearMessage(const MemoryResult &result)
{
    switch (result.outcome) {
    case MemoryOutcome::Good:
        return {QStringLiteral("Clear Decoder Memory OK!"), ClearTitle()};
    case MemoryOutcome::TimeOut:
        return {TimeOutText(), ClearTitle()};
    case MemoryOutcome::HandshakeTimeOut:
        return {HandshakeTimeOutText(), QStringLiteral("Clear Decoder Memory Message")};
    default:
        return {QStringLiteral("Clear Decoder Memory Failed!"), ClearTitle()};
    }
}

} // namespace

std::optional<LinkMessage> MemoryMessage(const MemoryResult &result)
{
    if (result.outcome == MemoryOutcome::PortNotAvailable)
        return PortNotAvailableMessage(result.commPort);
    if (result.kind == MemoryKind::Read)
        return ReadMessage(result);
    return ClearMessage(result);
}

LinkMessage MemoryQuestion(MemoryKind kind)
{
    if (kind == MemoryKind::Read)
        return {QStringLiteral("This will read decoder memory data!"), ReadTitle()};
    return {QStringLiteral("This will Clear decoder memory data!"), ClearTitle()};
}
