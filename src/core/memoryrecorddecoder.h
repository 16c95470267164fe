#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <array>
#include <cstdint>

// Joins the 65-byte blocks the decoder sends of its memory and cuts the stream into records:
// a length byte L (counting itself and the check byte), L-2 data bytes and a check byte that
// makes the exclusive-or of bytes 1..L-1 zero. A length byte of 0 where a record would start
// ends the data. Records may straddle blocks; a record is decoded once at least one byte after
// it has arrived.
//
// A record that fails its check (a wrong check byte, or a length of 1 to 3, which no record
// can have) is kept, never dropped: all L bytes it spans, as received. The length byte is the
// only boundary the stream has, so decoding goes on L bytes further, as after a good record;
// whatever follows a damaged length byte is checked record by record and shows as further
// failed records, and a 0 met out of step ends the data early. A read with a failed record is
// therefore never taken as the whole memory.
class MemoryRecordDecoder
{
public:
    static constexpr int kBlockSize = 65;
    static constexpr int kPayloadSize = 64;
    static constexpr int kBufferSize = 251;
    // A record with a shorter length fails its check.
    static constexpr int kShortestRecord = 4;

    // What one block did to the read; the numbers are those the receive handler reports.
    enum class Outcome
    {
        Nothing = 0, // no block arrived (time-out)
        More = 1,    // a good block, more data wanted
        Bad = 2,     // the block check failed, or the block would not fit behind what is held
        End = 3,     // the block held the end of the data
    };

    struct Record
    {
        // A good record: its data bytes. A failed one: every byte it spans as received, its
        // length byte first and (from a length of 2 on) its check byte last.
        QByteArray bytes;
        bool failed = false;
    };

    struct BlockResult
    {
        Outcome outcome = Outcome::Nothing;
        // The lines of the records completed by this block (RecordLine), each followed by
        // CR LF; an empty memory gives the one empty line of its end marker.
        QString text;
        QList<Record> records;
    };

    // The line that shows a record in the memory text and its files. A good record is its
    // data bytes, one character each. A failed record is "FAILED CHECK (length L, check 0xCC): "
    // and its data, after the character of code 0, which no good record holds (the device
    // stores bytes 1 to 255); in its data every byte outside printable ASCII, and the
    // backslash, is written as \xHH. A record of length 1 has no check byte:
    // "FAILED CHECK (length 1): ".
    static QString RecordLine(const Record &record);

    // A new read: what is held from an earlier read is forgotten.
    void Reset();
    // One block as received: its first 65 bytes count; fewer than 65 make a bad block.
    BlockResult Feed(QByteArrayView block);

    int HeldBytes() const { return m_count; }
    int GoodBlocks() const { return m_blocks; }
    // Records decoded since Reset, failed ones included, the end marker not.
    int Records() const { return m_records; }
    int FailedRecords() const { return m_failed; }

private:
    std::array<std::uint8_t, kBufferSize> m_buffer{};
    int m_count = 0;
    int m_blocks = 0;
    int m_records = 0;
    int m_failed = 0;
};
