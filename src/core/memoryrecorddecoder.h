#pragma once

#include <QByteArrayView>
#include <QString>

#include <array>
#include <cstdint>

// Joins the 65-byte blocks the decoder sends of its memory and cuts the stream into records:
// a length byte L (counting itself and the check byte), L-2 data bytes and a check byte that
// makes the exclusive-or of bytes 1..L-1 zero. A length byte of 0 where a record would start
// ends the data. Records may straddle blocks; a record is decoded once at least one byte after
// it has arrived.
class MemoryRecordDecoder
{
public:
    static constexpr int kBlockSize = 65;
    static constexpr int kPayloadSize = 64;
    static constexpr int kBufferSize = 251;
    // A record with a shorter length is bad and is kept as an empty line.
    static constexpr int kShortestRecord = 4;

    // What one block did to the read; the numbers are those the receive handler reports.
    enum class Outcome
    {
        Nothing = 0, // no block arrived (time-out)
        More = 1,    // a good block, more data wanted
        Bad = 2,     // the block check failed, or the block would not fit behind what is held
        End = 3,     // the block held the end of the data
    };

    struct BlockResult
    {
        Outcome outcome = Outcome::Nothing;
        // The records completed by this block, each followed by CR LF; a bad record is an
        // empty line.
        QString text;
        int records = 0;
    };

    // A new read: what is held from an earlier read is forgotten.
    void Reset();
    // One block as received: its first 65 bytes count; fewer than 65 make a bad block.
    BlockResult Feed(QByteArrayView block);

    int HeldBytes() const { return m_count; }
    int GoodBlocks() const { return m_blocks; }
    // Records decoded since Reset, bad ones included, the end marker not.
    int Records() const { return m_records; }

private:
    std::array<std::uint8_t, kBufferSize> m_buffer{};
    int m_count = 0;
    int m_blocks = 0;
    int m_records = 0;
};
