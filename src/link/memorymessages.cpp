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

// Records that failed their check are never the end of a good read: the user is told how many,
// and what became of them.
QString FailedRecordsText(const MemoryResult &result)
{
    const int failed = result.failedRecords;
    return QStringLiteral("%1 of %2 records failed %3 check! %4 kept as received, on a line "
                          "marked FAILED CHECK. Read the memory again before clearing it.")
        .arg(failed)
        .arg(result.records)
        .arg(failed == 1 ? QStringLiteral("its") : QStringLiteral("their"),
             failed == 1 ? QStringLiteral("It is") : QStringLiteral("They are"));
}

std::optional<LinkMessage> ReadMessage(const MemoryResult &result)
{
    if (result.failedRecords > 0 && result.outcome == ExchangeOutcome::Good)
        return LinkMessage{QStringLiteral("Read Decoder Memory: ") + FailedRecordsText(result),
                           ReadTitle()};
    switch (result.outcome) {
    case ExchangeOutcome::Good:
        if (result.keyboard)
            return std::nullopt;
        return LinkMessage{QStringLiteral("   Read Decoder Memory OK!\r\r"), ReadTitle()};
    case ExchangeOutcome::Incomplete:
        return LinkMessage{QStringLiteral("Read Decoder Memory Incomplete: the data did not end "
                                          "within the blocks a read takes. Not all data was "
                                          "read!"),
                           ReadTitle()};
    case ExchangeOutcome::TimeOut:
        return LinkMessage{TimeOutText(), ReadTitle()};
    case ExchangeOutcome::HandshakeTimeOut:
        return LinkMessage{HandshakeTimeOutText(), QStringLiteral("Read Decoder Memory Message")};
    default:
        return LinkMessage{QStringLiteral("Read Decoder Memory Failed!"), ReadTitle()};
    }
}

LinkMessage ClearMessage(const MemoryResult &result)
{
    switch (result.outcome) {
    case ExchangeOutcome::Good:
        return {QStringLiteral("Clear Decoder Memory OK!"), ClearTitle()};
    case ExchangeOutcome::TimeOut:
        return {TimeOutText(), ClearTitle()};
    case ExchangeOutcome::HandshakeTimeOut:
        return {HandshakeTimeOutText(), QStringLiteral("Clear Decoder Memory Message")};
    default:
        return {QStringLiteral("Clear Decoder Memory Failed!"), ClearTitle()};
    }
}

} // namespace

std::optional<LinkMessage> MemoryMessage(const MemoryResult &result)
{
    if (result.outcome == ExchangeOutcome::PortNotAvailable)
        return PortNotAvailableMessage(result.commPort);
    if (result.kind == MemoryKind::Clear)
        return ClearMessage(result);
    std::optional<LinkMessage> message = ReadMessage(result);
    // A read that failed after records failed their check says both.
    if (message && result.failedRecords > 0 && result.outcome != ExchangeOutcome::Good)
        message->text += QLatin1Char('\n') + FailedRecordsText(result);
    return message;
}

LinkMessage MemoryQuestion(MemoryKind kind, int failedRecords)
{
    if (kind == MemoryKind::Read)
        return {QStringLiteral("This will read decoder memory data!"), ReadTitle()};
    QString text = QStringLiteral("This will Clear decoder memory data!");
    if (failedRecords > 0) {
        text += QStringLiteral("\n\nThe last read found %1 record%2 that failed %3 check. The "
                               "decoder's memory holds the only copy: read it again before "
                               "clearing it.")
                    .arg(failedRecords)
                    .arg(failedRecords == 1 ? QString() : QStringLiteral("s"),
                         failedRecords == 1 ? QStringLiteral("its") : QStringLiteral("their"));
    }
    return {text, ClearTitle()};
}
