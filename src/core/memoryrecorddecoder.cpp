#include "core/memoryrecorddecoder.h"

#include "core/charset.h"

#include <algorithm>

namespace {

const QString kLineEnd = QStringLiteral("\r\n");

} // namespace

QString MemoryRecordDecoder::RecordLine(const Record &record)
{
    if (!record.failed)
        return BytesToText(record.bytes);
    const QByteArray &bytes = record.bytes;
    const auto hex = [](std::uint8_t byte) {
        return QStringLiteral("%1").arg(byte, 2, 16, QLatin1Char('0')).toUpper();
    };
    QString line = QChar(0) + QStringLiteral("FAILED CHECK (length %1").arg(bytes.size());
    if (bytes.size() >= 2)
        line += QStringLiteral(", check 0x") + hex(static_cast<std::uint8_t>(bytes.back()));
    line += QStringLiteral("): ");
    // The data of a failed record may hold anything, a misplaced end marker included: every
    // byte that is not printable ASCII is written as \xHH, so the line stays one line and
    // code 0 stays the mark of a failed record.
    for (qsizetype i = 1; i + 1 < bytes.size(); ++i) {
        const auto byte = static_cast<std::uint8_t>(bytes[i]);
        if (byte < 0x20 || byte > 0x7E || byte == '\\')
            line += QStringLiteral("\\x") + hex(byte);
        else
            line += QLatin1Char(char(byte));
    }
    return line;
}

void MemoryRecordDecoder::Reset()
{
    m_count = 0;
    m_blocks = 0;
    m_records = 0;
    m_failed = 0;
}

MemoryRecordDecoder::BlockResult MemoryRecordDecoder::Feed(QByteArrayView block)
{
    BlockResult result;
    if (block.size() < kBlockSize) {
        result.outcome = Outcome::Bad;
        return result;
    }
    std::uint8_t check = 0;
    for (qsizetype i = 0; i < kBlockSize; ++i)
        check ^= static_cast<std::uint8_t>(block[i]);
    // A record longer than 187 bytes leaves no room for the next block: the read fails rather
    // than writing past the buffer.
    if (check != 0 || m_count + kPayloadSize > kBufferSize) {
        result.outcome = Outcome::Bad;
        return result;
    }
    for (int i = 0; i < kPayloadSize; ++i)
        m_buffer[m_count + i] = static_cast<std::uint8_t>(block[i]);
    m_count += kPayloadSize;
    ++m_blocks;

    const auto held = [this](int from, int to) {
        return QByteArray(reinterpret_cast<const char *>(m_buffer.data()) + from, to - from);
    };
    int length = m_buffer[0];
    while (length < m_count) {
        // An empty memory starts with the end marker: its empty line is no record.
        if (length > 0) {
            bool good = length >= kShortestRecord;
            if (good) {
                std::uint8_t sum = 0;
                for (int i = 1; i < length; ++i)
                    sum ^= m_buffer[i];
                good = sum == 0;
            }
            Record record;
            record.failed = !good;
            record.bytes = good ? held(1, length - 1) : held(0, length);
            result.text += RecordLine(record);
            result.records.append(record);
            ++m_records;
            if (record.failed)
                ++m_failed;
        }
        result.text += kLineEnd;
        std::copy(m_buffer.begin() + length, m_buffer.begin() + m_count, m_buffer.begin());
        m_count -= length;
        length = m_buffer[0];
        if (length == 0) {
            result.outcome = Outcome::End;
            return result;
        }
    }
    result.outcome = Outcome::More;
    return result;
}
