// The serial upload and version answers: whatever bytes the line delivers.
#include "fuzzcheck.h"
#include "link/wire/linkframes.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView reply(data, static_cast<qsizetype>(size));
    (void)IsDownloadAccepted(reply);
    const std::optional<UploadAnswer> answer = CheckSerialUploadReply(reply);
    if (!answer)
        return 0;
    const bool reader = answer->section == Section::Reader;
    FUZZ_CHECK(answer->sectionBytes.size() ==
               (reader ? kReaderLast - kReaderFirst + 1 : kDecoderLast - kDecoderFirst + 1));
    FUZZ_CHECK(answer->version1.size() == kVersionField1Size);
    FUZZ_CHECK(answer->version2.size() == kVersionField2Size);
    // An accepted answer overwrites its own section and nothing else.
    Image image;
    for (int i = 0; i < kImageSize; ++i)
        image[i] = static_cast<std::uint8_t>(i * 7 + 3);
    const Image before = image;
    ApplyUploadAnswer(*answer, image);
    for (int i = 0; i < kImageSize; ++i) {
        const bool inSection = reader ? i >= kReaderFirst : i <= kDecoderLast;
        if (inSection)
            FUZZ_CHECK(image[i] == static_cast<std::uint8_t>(answer->sectionBytes.at(
                                       i - (reader ? kReaderFirst : kDecoderFirst))));
        else
            FUZZ_CHECK(image[i] == before[i]);
    }
    FUZZ_CHECK(!VersionText(*answer).isEmpty());
    return 0;
}
