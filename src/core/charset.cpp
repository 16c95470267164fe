#include "core/charset.h"

QByteArray TextToBytes(QStringView text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (QChar c : text) {
        if (const auto byte = CharToByte(c))
            bytes.append(static_cast<char>(*byte));
    }
    return bytes;
}

bool IsEncodable(QStringView text)
{
    for (QChar c : text) {
        if (!CharToByte(c))
            return false;
    }
    return true;
}
