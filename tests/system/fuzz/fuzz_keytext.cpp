// Prefix and suffix texts in key notation come from the user, from files and from the device.
// Beyond not crashing: a run of slots the encoder wrote decodes to a text that encodes to the
// same slots again, so showing a field and taking it back never changes it.
#include "core/charset.h"
#include "fuzzcheck.h"
#include "keys/keytext.h"

#include <array>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const bool functionKeys = data[0] & 1;
    const bool wide = data[0] & 2;
    ++data;
    --size;
    const std::size_t slotCount = functionKeys ? kReaderKeySlots : kDecoderKeySlots;

    // Any slots at all, as a damaged file or an upload may hold them.
    std::array<std::uint8_t, kReaderKeySlots> raw;
    raw.fill(kEmptySlot);
    for (std::size_t i = 0; i < slotCount && i < size; ++i)
        raw[i] = data[i];
    (void)DecodeKeyText(std::span<const std::uint8_t>(raw.data(), slotCount), functionKeys);

    QString typed;
    if (wide) {
        for (std::size_t i = 0; i + 1 < size; i += 2)
            typed.append(QChar(static_cast<char16_t>(data[i] | (data[i + 1] << 8))));
    } else {
        typed = BytesToText(QByteArrayView(data, static_cast<qsizetype>(size)));
    }
    std::array<std::uint8_t, kReaderKeySlots> written;
    written.fill(0);
    const std::span<std::uint8_t> slots(written.data(), slotCount);
    EncodeKeyText(typed, slots, functionKeys);
    const QString shown = DecodeKeyText(slots, functionKeys);
    std::array<std::uint8_t, kReaderKeySlots> again;
    again.fill(0);
    EncodeKeyText(shown, std::span<std::uint8_t>(again.data(), slotCount), functionKeys);
    FUZZ_CHECK(written == again);
    FUZZ_CHECK(DecodeKeyText(std::span<const std::uint8_t>(again.data(), slotCount),
                             functionKeys) == shown);
    return 0;
}
