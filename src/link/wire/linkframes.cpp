#include "link/wire/linkframes.h"

#include "core/charset.h"

QByteArray BuildDownloadFrame(const Image &image, bool save)
{
    QByteArray frame;
    frame.reserve(kDownloadFrameSize);
    frame.append(char(kFrameStart));
    frame.append(char(save ? kCommandSave : kCommandNotSave));
    frame.append(char(kImageSize - 1));
    for (std::uint8_t byte : image)
        frame.append(char(byte));
    frame.append(char(kFrameEnd));
    frame.append(char(XorOf(frame)));
    return frame;
}

QByteArray BuildUploadRequest()
{
    QByteArray frame;
    frame.append(char(kFrameStart));
    frame.append(char(kCommandUpload));
    frame.append(char(kFrameEnd));
    frame.append(char(XorOf(frame)));
    return frame;
}

std::uint8_t XorOf(QByteArrayView bytes)
{
    std::uint8_t x = 0;
    for (char byte : bytes)
        x ^= static_cast<std::uint8_t>(byte);
    return x;
}

bool IsDownloadAccepted(QByteArrayView reply)
{
    return !reply.isEmpty() && static_cast<std::uint8_t>(reply.front()) == kDownloadAccepted;
}

qsizetype SerialUploadReplySize(QByteArrayView start)
{
    if (start.isEmpty())
        return 0;
    const int n = static_cast<std::uint8_t>(start.front());
    if (n < kMinimumUploadLength)
        return 0;
    return n + 1 + kVersionField1Size + kVersionField2Size + 1;
}

std::optional<UploadAnswer> CheckSerialUploadReply(QByteArrayView reply)
{
    const qsizetype total = SerialUploadReplySize(reply);
    // Bytes the device sends after the check are not part of the answer.
    if (total == 0 || reply.size() < total)
        return std::nullopt;
    const int n = static_cast<std::uint8_t>(reply.front());
    const QByteArrayView answer = reply.first(total);
    if (XorOf(answer) != 0)
        return std::nullopt;

    UploadAnswer result;
    if (n == kReaderUploadLength) {
        result.section = Section::Reader;
        result.sectionBytes = answer.sliced(1, kReaderLast - kReaderFirst + 1).toByteArray();
    } else {
        // A decoder answer always carries the decoder bytes first, whatever N says.
        result.section = Section::Decoder;
        result.sectionBytes = answer.sliced(1, kDecoderLast - kDecoderFirst + 1).toByteArray();
    }
    result.version1 = BytesToText(answer.sliced(n + 1, kVersionField1Size));
    result.version2 = BytesToText(answer.sliced(n + 1 + kVersionField1Size, kVersionField2Size));
    return result;
}

void ApplyUploadAnswer(const UploadAnswer &answer, Image &image)
{
    const int first = answer.section == Section::Reader ? kReaderFirst : kDecoderFirst;
    const int last = answer.section == Section::Reader ? kReaderLast : kDecoderLast;
    for (int i = first; i <= last && i - first < answer.sectionBytes.size(); ++i)
        image[i] = static_cast<std::uint8_t>(answer.sectionBytes.at(i - first));
}

QString VersionText(const UploadAnswer &answer)
{
    return QStringLiteral("   ") + answer.version1 + QStringLiteral("\n\r   ") + answer.version2;
}
