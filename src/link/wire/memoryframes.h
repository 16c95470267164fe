#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QStringView>

#include <cstdint>

// What travels between the tool and the K30 when the decoder's memory is read or cleared.
// The serial commands are 4-byte frames whose last byte is the exclusive-or of the other
// three; the memory then comes in 65-byte blocks, each answered with one letter.

inline constexpr std::uint8_t kCommandReadMemory = 0x82;
inline constexpr std::uint8_t kCommandClearMemory = 0x83;
// The device answers a clear it carried out with this byte.
inline constexpr std::uint8_t kClearAccepted = 0x07;

// The tool's answer to a block: more wanted, the block held the end of the data, or the block
// was bad (or never came).
inline constexpr char kBlockReplyMore = 'S';
inline constexpr char kBlockReplyEnd = 'P';
inline constexpr char kBlockReplyError = 'E';

// A read goes on until the block that holds the end of the data. A device that never gets
// there is stopped with "E" after this many blocks (1 MiB of data), and the read counts as
// incomplete.
inline constexpr int kMaximumMemoryBlocks = 16384;

// Keyboard path: the commands repeated until the device types its acknowledgement.
inline constexpr char kMemoryReadCommand[] = "MMMMM";
inline constexpr char kMemoryClearCommand[] = "NNNNN";
// A keyboard read ends when the typed text grows past this many characters, or ends with
// the character of this code.
inline constexpr int kKeyboardMemoryLimit = 3000;
inline constexpr char16_t kMemoryDataEnd = 0x03;

QByteArray BuildMemoryReadFrame();
QByteArray BuildMemoryClearFrame();
bool IsClearAccepted(QByteArrayView reply);

// The device acknowledges a keyboard memory command by typing "S"; only the last character
// of the capture box counts, in either case.
bool IsMemoryAcknowledgement(QStringView capture);
// The typed memory data is complete: past the limit, or ended by code 3.
bool IsKeyboardMemoryComplete(QStringView text);
