#include "simdevice.h"

#include "core/parameterimages.h"

namespace {

// The device's own view of the wire.
constexpr char STX = 0x02;
constexpr char ETX = 0x03;
constexpr char ACK = 0x07;
constexpr char NAK = 0x15;
constexpr char CMD_SAVE = 0x01;
constexpr char CMD_NOT_SAVE = 0x02;
constexpr char CMD_UPLOAD = char(0x80);
constexpr int DOWNLOAD_FRAME = 90;
constexpr int UPLOAD_REQUEST = 4;
constexpr int DECODER_BYTES = 25;
constexpr int READER_FIRST = 25;
constexpr int READER_BYTES = 60;
// The PC looks at an upload answer once 84 bytes have arrived, so a decoder answer is filled
// up to that length after its check byte.
constexpr int UPLOAD_MIN_LENGTH = 84;
constexpr int KEY_DOWNLOAD_CHARS = 172;
constexpr int KEY_UPLOAD_CHARS = 145;

char Parity(QByteArrayView bytes)
{
    unsigned char x = 0;
    for (char b : bytes)
        x ^= static_cast<unsigned char>(b);
    return char(x);
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

QByteArray Fixed(const QString &text, int width)
{
    return text.toLatin1().leftJustified(width, ' ', true);
}

} // namespace

QString SimHex(QByteArrayView bytes)
{
    return QString::fromLatin1(bytes.toByteArray().toHex(' ').toUpper());
}

SimDevice::SimDevice()
{
    image = FactoryImage();
}

void SimDevice::ResetInput()
{
    if (!m_rx.isEmpty())
        AddLog(QStringLiteral("dropped after a pause: ") + SimHex(m_rx));
    m_rx.clear();
    m_keyState = KeyState::Command;
    m_keyBuffer.clear();
}

QByteArray SimDevice::SerialInput(QByteArrayView bytes)
{
    m_rx.append(bytes);
    QByteArray answer;
    for (;;) {
        bool complete = false;
        const QByteArray frame = TakeSerialFrame(complete);
        if (!complete)
            break;
        AddLog(QStringLiteral("received ") + SimHex(frame));
        answer += AnswerSerialFrame(frame);
    }
    return answer;
}

QByteArray SimDevice::TakeSerialFrame(bool &complete)
{
    complete = false;
    // Anything before a frame start is line noise.
    const qsizetype start = m_rx.indexOf(STX);
    if (start < 0) {
        if (!m_rx.isEmpty())
            AddLog(QStringLiteral("ignored ") + SimHex(m_rx));
        m_rx.clear();
        return {};
    }
    if (start > 0) {
        AddLog(QStringLiteral("ignored ") + SimHex(m_rx.first(start)));
        m_rx.remove(0, start);
    }
    if (m_rx.size() < 2)
        return {};
    int length = 0;
    switch (m_rx.at(1)) {
    case CMD_SAVE:
    case CMD_NOT_SAVE:
        length = DOWNLOAD_FRAME;
        break;
    case CMD_UPLOAD:
        length = UPLOAD_REQUEST;
        break;
    default:
        AddLog(QStringLiteral("unknown command ") + SimHex(m_rx.first(2)));
        m_rx.remove(0, 1);
        return TakeSerialFrame(complete);
    }
    if (m_rx.size() < length)
        return {};
    complete = true;
    QByteArray frame = m_rx.first(length);
    m_rx.remove(0, length);
    return frame;
}

QByteArray SimDevice::AnswerSerialFrame(const QByteArray &frame)
{
    const bool framed = frame.at(frame.size() - 2) == ETX && Parity(frame) == 0;
    if (frame.at(1) == CMD_UPLOAD) {
        if (!framed) {
            AddLog(QStringLiteral("bad upload request: no answer"));
            return {};
        }
        if (faults.silent) {
            AddLog(QStringLiteral("upload request: silent"));
            return {};
        }
        const QByteArray answer = SerialUploadAnswer();
        AddLog(QStringLiteral("answered upload: ") + SimHex(answer));
        return answer;
    }

    const bool save = frame.at(1) == CMD_SAVE;
    const bool good = framed && frame.at(2) == char(84);
    if (faults.silent) {
        AddLog(QStringLiteral("download: silent"));
        return {};
    }
    if (!good || faults.refuseDownload) {
        AddLog(good ? QStringLiteral("download refused") : QStringLiteral("bad download frame"));
        return QByteArray(1, NAK);
    }
    if (save) {
        for (int i = 0; i < kImageBytes; ++i)
            image[i] = static_cast<std::uint8_t>(frame.at(3 + i));
        ++m_saved;
    }
    AddLog(save ? QStringLiteral("download saved") : QStringLiteral("download not saved"));
    return QByteArray(1, ACK);
}

QByteArray SimDevice::SerialUploadAnswer() const
{
    const bool reader = section == Section::Reader;
    const int first = reader ? READER_FIRST : 0;
    const int count = reader ? READER_BYTES : DECODER_BYTES;
    QByteArray answer(1, char(count));
    for (int i = 0; i < count; ++i)
        answer.append(char(image[first + i]));
    answer += Fixed(version1, 12) + Fixed(version2, 10);
    char check = Parity(answer);
    if (faults.wrongCheck)
        check = char(check ^ 0x5A);
    answer.append(check);
    if (answer.size() < UPLOAD_MIN_LENGTH)
        answer.append(QByteArray(UPLOAD_MIN_LENGTH - answer.size(), '\0'));
    return answer;
}

QByteArray SimDevice::KeyboardInput(std::uint8_t byte)
{
    const char c = char(byte);
    if (m_keyState == KeyState::DownloadData) {
        m_keyBuffer.append(c);
        if (m_keyBuffer.size() < KEY_DOWNLOAD_CHARS)
            return {};
        m_keyState = KeyState::Command;
        const QByteArray text = m_keyBuffer;
        m_keyBuffer.clear();
        AddLog(QStringLiteral("received data ") + QString::fromLatin1(text));
        std::array<std::uint8_t, kImageBytes> received{};
        unsigned char x = 0;
        bool good = true;
        for (int i = 0; i <= kImageBytes && good; ++i) {
            const int high = HexValue(text.at(2 * i));
            const int low = HexValue(text.at(2 * i + 1));
            good = high >= 0 && low >= 0;
            const auto value = static_cast<std::uint8_t>(high * 16 + low);
            x ^= value;
            if (i < kImageBytes)
                received[i] = value;
        }
        if (faults.silent)
            return {};
        if (!good || x != 0 || faults.refuseDownload) {
            AddLog(QStringLiteral("download refused"));
            return Typed("E");
        }
        if (m_keySave) {
            image = received;
            ++m_saved;
        }
        AddLog(m_keySave ? QStringLiteral("download saved") : QStringLiteral("download not saved"));
        return Typed("P");
    }

    m_keyBuffer.append(c);
    if (m_keyBuffer.size() > 5)
        m_keyBuffer.remove(0, m_keyBuffer.size() - 5);
    if (m_keyBuffer != "AAAAA" && m_keyBuffer != "BBBBB" && m_keyBuffer != "CCCCC")
        return {};
    const QByteArray command = m_keyBuffer;
    m_keyBuffer.clear();
    AddLog(QStringLiteral("command ") + QString::fromLatin1(command));
    if (faults.silent)
        return {};
    if (command == "CCCCC")
        return Typed("S" + KeyboardUploadText());
    m_keySave = command == "AAAAA";
    m_keyState = KeyState::DownloadData;
    return Typed("S");
}

QByteArray SimDevice::KeyboardUploadText() const
{
    const bool reader = section == Section::Reader;
    const int first = reader ? READER_FIRST : 0;
    const int count = reader ? READER_BYTES : DECODER_BYTES;
    QByteArray bytes;
    for (int i = 0; i < count; ++i)
        bytes.append(char(image[first + i]));
    char check = Parity(bytes);
    if (faults.wrongCheck)
        check = char(check ^ 0x5A);
    bytes.append(check);
    QByteArray text(1, reader ? '0' : '1');
    text += bytes.toHex().toUpper();
    const QByteArray version = Fixed(version1, 12) + Fixed(version2, 10);
    // A decoder answer fills the characters the PC does not read.
    text.append(QByteArray(KEY_UPLOAD_CHARS - version.size() - text.size(), '0'));
    text += version;
    return text;
}

QByteArray SimDevice::Typed(QByteArray text) const
{
    if (faults.lowerCase)
        text = text.toLower();
    return text;
}
