#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

// The one single-byte character set in which the tool turns device bytes into characters and
// back: key texts, code IDs, start/end characters, the separator, header texts in files and
// memory data. ISO 8859-1 maps every byte 0 to 255 to a character and back unchanged.

// The character that stands for a byte.
inline QChar ByteToChar(std::uint8_t byte)
{
    return QChar(static_cast<char16_t>(byte));
}

// The byte of a character, or nothing when the character is outside the set.
inline std::optional<std::uint8_t> CharToByte(QChar c)
{
    if (c.unicode() > 0xFF)
        return std::nullopt;
    return static_cast<std::uint8_t>(c.unicode());
}

inline QString BytesToText(QByteArrayView bytes)
{
    return QString::fromLatin1(bytes);
}

// The bytes of a text; characters outside the set are left out.
QByteArray TextToBytes(QStringView text);
// True when every character of the text has a byte.
bool IsEncodable(QStringView text);
