#pragma once

#include "core/parameterimages.h"
#include "link/wire/linkframes.h"

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <cstdint>
#include <optional>

// What travels on the keyboard path: the five-letter commands the PC writes to the keyboard
// controller, the hexadecimal text of a download, and the text the device types as the
// answer of an upload.

inline constexpr char kCommandSaveText[] = "AAAAA";
inline constexpr char kCommandNotSaveText[] = "BBBBB";
inline constexpr char kCommandUploadText[] = "CCCCC";
// The device's handshake and final answers, compared upper-cased with the whole capture text.
inline constexpr char kHandshakeAnswer[] = "S";
inline constexpr char kDownloadDoneAnswer[] = "P";

inline constexpr int kKeyboardDownloadLength = 172;
inline constexpr int kKeyboardUploadLength = 145;

// Two upper-case hexadecimal digits, high digit first: 171 -> "AB".
QString ByteToHex(std::uint8_t byte);
// 0 to 15 for "0"-"9", "A"-"F", "a"-"f"; 16 for any other character. The device types only
// hexadecimal digits, so anything else marks a bad answer.
int HexDigitValue(QChar c);

// The 170 hexadecimal characters of the image and the two of its exclusive-or, as the bytes
// written to the keyboard controller.
QByteArray KeyboardDownloadText(const Image &image);

// The 145 typed characters: "0" (reader, 60 bytes) or "1" (decoder, 25 bytes), the section's
// bytes and a check byte as hexadecimal pairs whose exclusive-or is 0, then the 12 + 10
// version characters at the end. Upper- and lower-case digits count alike.
std::optional<UploadAnswer> CheckKeyboardUploadText(QStringView text);

// The capture box holds the one-letter answer, typed in either case.
bool IsTypedAnswer(QStringView text, const char *answer);
