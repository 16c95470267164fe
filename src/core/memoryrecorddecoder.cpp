#include "core/memoryrecorddecoder.h"

#include "core/charset.h"

#include <algorithm>

namespace {

const QString kLineEnd = QStringLiteral("\r\n");

} // namespace

void MemoryRecordDecoder::Reset()
{
    m_count = 0;
    m_blocks = 0;
    m_records = 0;
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

    int length = m_buffer[0];
    while (length < m_count) {
        bool good = length >= kShortestRecord;
        if (good) {
            std::uint8_t sum = 0;
            for (int i = 1; i < length; ++i)
                sum ^= m_buffer[i];
            good = sum == 0;
        }
        if (good) {
            for (int i = 1; i <= length - 2; ++i)
                result.text += ByteToChar(m_buffer[i]);
        }
        result.text += kLineEnd;
        // An empty memory starts with the end marker: its empty line is no record.
        if (length > 0) {
            ++result.records;
            ++m_records;
        }
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
