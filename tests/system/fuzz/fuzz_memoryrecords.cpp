// The blocks of the decoder's memory, as the line delivers them: each chunk of the input is
// one block, its length taken from the byte before it, so short, whole and long blocks all
// come. Good and bad records, records straddling blocks and records longer than the buffer
// can hold must neither crash the decoder nor let it hold more than its buffer, and no record
// may be lost.
#include "core/memoryrecorddecoder.h"
#include "fuzzcheck.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace {

// Turns a block into one with a good check, so that the fuzzer reaches the record decoding
// without having to find the check byte first.
QByteArray WithGoodCheck(QByteArray block)
{
    std::uint8_t x = 0;
    for (qsizetype i = 0; i + 1 < MemoryRecordDecoder::kBlockSize; ++i)
        x ^= static_cast<std::uint8_t>(block[i]);
    block[MemoryRecordDecoder::kBlockSize - 1] = char(x);
    return block;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    MemoryRecordDecoder decoder;
    decoder.Reset();
    int fed = 0;
    int records = 0;
    int failed = 0;
    std::size_t at = 0;
    while (at < size) {
        const int control = data[at++];
        // Bit 7: fix the check; the rest: the block's length around 65.
        const std::size_t length = std::min<std::size_t>(size - at, std::size_t(control & 0x7F));
        QByteArray block(reinterpret_cast<const char *>(data + at), qsizetype(length));
        at += length;
        if ((control & 0x80) && block.size() >= MemoryRecordDecoder::kBlockSize)
            block = WithGoodCheck(block);
        const int heldBefore = decoder.HeldBytes();
        const auto result = decoder.Feed(block);
        ++fed;
        FUZZ_CHECK(decoder.HeldBytes() >= 0);
        FUZZ_CHECK(decoder.HeldBytes() <= MemoryRecordDecoder::kBufferSize);
        FUZZ_CHECK(decoder.GoodBlocks() <= fed);
        records += int(result.records.size());
        FUZZ_CHECK(decoder.Records() == records);
        // No record is dropped: a failed one keeps every byte its length byte spans.
        for (const MemoryRecordDecoder::Record &record : result.records) {
            if (record.failed) {
                failed += 1;
                FUZZ_CHECK(!record.bytes.isEmpty());
                FUZZ_CHECK(record.bytes.size() == static_cast<std::uint8_t>(record.bytes[0]));
            }
        }
        FUZZ_CHECK(decoder.FailedRecords() == failed);
        if (result.outcome == MemoryRecordDecoder::Outcome::Bad) {
            // A bad block is not taken in.
            FUZZ_CHECK(decoder.HeldBytes() == heldBefore);
            FUZZ_CHECK(result.text.isEmpty());
        }
        if (result.outcome == MemoryRecordDecoder::Outcome::End)
            break;
    }
    return 0;
}
