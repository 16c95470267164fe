// The text the device types into the capture box as the answer of an upload. The box can hold
// any character, so the first byte chooses whether the rest is read as single-byte text or as
// UTF-16.
#include "core/charset.h"
#include "fuzzcheck.h"
#include "link/wire/keyboardtext.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const bool wide = data[0] & 1;
    ++data;
    --size;
    QString text;
    if (wide) {
        for (std::size_t i = 0; i + 1 < size; i += 2)
            text.append(QChar(static_cast<char16_t>(data[i] | (data[i + 1] << 8))));
    } else {
        text = BytesToText(QByteArrayView(data, static_cast<qsizetype>(size)));
    }
    (void)IsTypedAnswer(text, kHandshakeAnswer);
    (void)IsTypedAnswer(text, kDownloadDoneAnswer);
    const std::optional<UploadAnswer> answer = CheckKeyboardUploadText(text);
    if (!answer)
        return 0;
    FUZZ_CHECK(text.size() == kKeyboardUploadLength);
    const bool reader = answer->section == Section::Reader;
    FUZZ_CHECK(answer->sectionBytes.size() ==
               (reader ? kReaderLast - kReaderFirst + 1 : kDecoderLast - kDecoderFirst + 1));
    FUZZ_CHECK(answer->version1.size() == kVersionField1Size);
    FUZZ_CHECK(answer->version2.size() == kVersionField2Size);
    // The section's hexadecimal pairs are what the device typed, in either case.
    for (qsizetype i = 0; i < answer->sectionBytes.size(); ++i) {
        const auto byte = static_cast<std::uint8_t>(answer->sectionBytes.at(i));
        FUZZ_CHECK(text.sliced(1 + 2 * i, 2).compare(ByteToHex(byte), Qt::CaseInsensitive) == 0);
    }
    Image image{};
    ApplyUploadAnswer(*answer, image);
    return 0;
}
