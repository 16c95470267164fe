#include "sim/simdevice.h"

#include "core/memoryfile.h"
#include "core/parameterimages.h"
#include "core/safefile.h"

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
// Memory: 4-byte commands, 64 bytes of the record stream a block plus its check byte, and
// the PC's one-letter replies to a block.
constexpr char CMD_READ_MEMORY = char(0x82);
constexpr char CMD_CLEAR_MEMORY = char(0x83);
constexpr int MEMORY_COMMAND = 4;
constexpr int BLOCK_DATA = 64;
constexpr char REPLY_MORE = 'S';
constexpr char REPLY_END = 'P';
constexpr char REPLY_ERROR = 'E';
constexpr int LONG_RECORD = 200;
// An endless keyboard memory types this much, then stops as if the cable were pulled.
constexpr int KEY_ENDLESS_CHARS = 4000;
constexpr char KEY_END_OF_DATA = 0x03;

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
    memory = SampleMemory();
}

QList<QByteArray> SimDevice::SampleMemory()
{
    return {"4006381333931", "K30-SAMPLE-0002", "HELLO WORLD", "9780201633610"};
}

QList<QByteArray> SimDevice::GeneratedMemory(int count)
{
    QList<QByteArray> records;
    records.reserve(count);
    for (int i = 1; i <= count; ++i)
        records.append("K30-RECORD-" + QByteArray::number(i % 100000).rightJustified(5, '0'));
    return records;
}

bool SimDevice::LoadMemory(const QString &path, bool hex)
{
    // A memory file as the tool writes it; a pipe or a device is no such file.
    const std::optional<QByteArray> data = ReadWholeFile(path, kMemoryFileSizeLimit);
    if (!data)
        return false;
    memory.clear();
    for (QByteArray line : data->split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (!line.isEmpty())
            memory.append((hex ? QByteArray::fromHex(line) : line).left(250));
    }
    return true;
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
        const char first = m_rx.isEmpty() ? 0 : m_rx.front();
        if (first == REPLY_MORE || first == REPLY_END || first == REPLY_ERROR) {
            m_rx.remove(0, 1);
            answer += AnswerBlockReply(first);
            continue;
        }
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
    case CMD_READ_MEMORY:
    case CMD_CLEAR_MEMORY:
        length = MEMORY_COMMAND;
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
    if (frame.at(1) == CMD_READ_MEMORY || frame.at(1) == CMD_CLEAR_MEMORY) {
        if (!framed) {
            AddLog(QStringLiteral("bad memory command: no answer"));
            return {};
        }
        return AnswerMemoryFrame(frame);
    }
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
    const int announced = reader ? READER_BYTES : decoderAnswerLength;
    QByteArray answer(1, char(announced));
    for (int i = 0; i < count; ++i)
        answer.append(char(image[first + i]));
    if (announced > count)
        answer.append(QByteArray(announced - count, '\0'));
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
    if (m_keyBuffer != "AAAAA" && m_keyBuffer != "BBBBB" && m_keyBuffer != "CCCCC" &&
        m_keyBuffer != "MMMMM" && m_keyBuffer != "NNNNN")
        return {};
    const QByteArray command = m_keyBuffer;
    m_keyBuffer.clear();
    AddLog(QStringLiteral("command ") + QString::fromLatin1(command));
    if (faults.silent)
        return {};
    if (command == "MMMMM")
        return Typed("S") + KeyboardMemoryText();
    if (command == "NNNNN") {
        memory.clear();
        AddLog(QStringLiteral("memory cleared"));
        return Typed("S");
    }
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

QByteArray SimDevice::AnswerMemoryFrame(const QByteArray &frame)
{
    if (faults.silent) {
        AddLog(QStringLiteral("memory command: silent"));
        return {};
    }
    if (frame.at(1) == CMD_CLEAR_MEMORY) {
        if (faults.refuseClear) {
            AddLog(QStringLiteral("clear refused"));
            return QByteArray(1, NAK);
        }
        memory.clear();
        AddLog(QStringLiteral("memory cleared"));
        return QByteArray(1, ACK);
    }
    m_stream.clear();
    m_streamRecords = 0;
    m_streamEnded = false;
    m_awaitingBlock = 0;
    AddLog(QStringLiteral("memory read: %1 records").arg(memory.size()));
    return MemoryBlock(0);
}

QByteArray SimDevice::AnswerBlockReply(char reply)
{
    AddLog(QStringLiteral("reply ") + QLatin1Char(reply));
    if (m_awaitingBlock < 0)
        return {};
    if (reply != REPLY_MORE) {
        m_awaitingBlock = -1;
        return {};
    }
    ++m_awaitingBlock;
    return MemoryBlock(m_awaitingBlock);
}

QByteArray SimDevice::EncodedRecord(int index) const
{
    // Records are taken in turn; an endless memory starts over at the first.
    const int stored = int(memory.size()) + (faults.longRecord ? 1 : 0);
    const int slot = stored > 0 ? index % stored : 0;
    const QByteArray data = slot < memory.size() ? memory.at(slot)
                            : stored > 0         ? QByteArray(LONG_RECORD - 2, 'L')
                                                 : QByteArray("ENDLESS");
    QByteArray record(1, char(index == faults.shortLength ? 2 : data.size() + 2));
    record += data;
    char check = Parity(data);
    if (index == faults.badRecord)
        check = char(check ^ 0x5A);
    record.append(check);
    return record;
}

QByteArray SimDevice::MemoryBlock(int index)
{
    const qsizetype end = qsizetype(index + 1) * BLOCK_DATA;
    const int stored = int(memory.size()) + (faults.longRecord ? 1 : 0);
    while (m_stream.size() < end) {
        if (m_streamEnded) {
            m_stream.append(QByteArray(end - m_stream.size(), '\0'));
            break;
        }
        if (!faults.endlessMemory && m_streamRecords >= stored) {
            m_stream.append('\0'); // the end marker
            m_streamEnded = true;
            continue;
        }
        m_stream += EncodedRecord(m_streamRecords++);
    }
    QByteArray block = m_stream.mid(index * BLOCK_DATA, BLOCK_DATA);
    char check = Parity(block);
    if (index == faults.badBlock)
        check = char(check ^ 0x5A);
    block.append(check);
    AddLog(QStringLiteral("memory block %1").arg(index));
    return block;
}

QByteArray SimDevice::KeyboardMemoryText() const
{
    // The device types every record as a line, then the end of its data.
    QByteArray text;
    if (faults.endlessMemory) {
        for (int i = 0; text.size() < KEY_ENDLESS_CHARS; ++i)
            text += EncodedRecord(i).mid(1).chopped(1) + '\r';
        return Typed(text);
    }
    for (const QByteArray &record : memory)
        text += record + '\r';
    text.append(KEY_END_OF_DATA);
    return Typed(text);
}
