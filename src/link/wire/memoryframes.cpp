#include "link/wire/memoryframes.h"

namespace {

QByteArray CommandFrame(std::uint8_t command)
{
    constexpr std::uint8_t kStart = 0x02;
    constexpr std::uint8_t kEnd = 0x03;
    const auto check = static_cast<std::uint8_t>(kStart ^ command ^ kEnd);
    const char frame[] = {char(kStart), char(command), char(kEnd), char(check)};
    return QByteArray(frame, sizeof frame);
}

} // namespace

QByteArray BuildMemoryReadFrame()
{
    return CommandFrame(kCommandReadMemory);
}

QByteArray BuildMemoryClearFrame()
{
    return CommandFrame(kCommandClearMemory);
}

bool IsClearAccepted(QByteArrayView reply)
{
    return !reply.isEmpty() && static_cast<std::uint8_t>(reply.front()) == kClearAccepted;
}

bool IsMemoryAcknowledgement(QStringView capture)
{
    return !capture.isEmpty() && capture.back().toUpper() == QLatin1Char(kBlockReplyMore);
}

bool IsKeyboardMemoryComplete(QStringView text)
{
    return text.size() > kKeyboardMemoryLimit ||
           (!text.isEmpty() && text.back() == QChar(kMemoryDataEnd));
}
