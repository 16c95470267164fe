#include "link/wire/keyboardtext.h"

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";
constexpr int kNotHex = 16;
constexpr int kReaderBytes = kReaderLast - kReaderFirst + 1;
constexpr int kDecoderBytes = kDecoderLast - kDecoderFirst + 1;

} // namespace

QString ByteToHex(std::uint8_t byte)
{
    const char digits[] = {kHexDigits[byte >> 4], kHexDigits[byte & 0x0F]};
    return QString::fromLatin1(digits, 2);
}

int HexDigitValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    return kNotHex;
}

QByteArray KeyboardDownloadText(const Image &image)
{
    QByteArray text;
    text.reserve(kKeyboardDownloadLength);
    std::uint8_t x = 0;
    for (std::uint8_t byte : image) {
        x ^= byte;
        text.append(ByteToHex(byte).toLatin1());
    }
    text.append(ByteToHex(x).toLatin1());
    return text;
}

std::optional<UploadAnswer> CheckKeyboardUploadText(QStringView text)
{
    if (text.size() != kKeyboardUploadLength)
        return std::nullopt;
    UploadAnswer answer;
    if (text.front() == QLatin1Char('0'))
        answer.section = Section::Reader;
    else if (text.front() == QLatin1Char('1'))
        answer.section = Section::Decoder;
    else
        return std::nullopt;
    const int n = answer.section == Section::Reader ? kReaderBytes : kDecoderBytes;
    const QStringView rest = text.sliced(1);

    std::uint8_t x = 0;
    for (int i = 0; i <= n; ++i) {
        const int high = HexDigitValue(rest.at(2 * i));
        const int low = HexDigitValue(rest.at(2 * i + 1));
        if (high > 15 || low > 15)
            return std::nullopt;
        const auto byte = static_cast<std::uint8_t>(16 * high + low);
        x ^= byte;
        // The last pair is the check byte, which is not part of the section.
        if (i < n)
            answer.sectionBytes.append(char(byte));
    }
    if (x != 0)
        return std::nullopt;
    const QStringView version = rest.last(kVersionField1Size + kVersionField2Size);
    answer.version1 = version.first(kVersionField1Size).toString();
    answer.version2 = version.last(kVersionField2Size).toString();
    return answer;
}

bool IsTypedAnswer(QStringView text, const char *answer)
{
    return text.compare(QLatin1String(answer), Qt::CaseInsensitive) == 0;
}
