// The configuration file reader takes any file the user opens.
#include "core/configfile.h"
#include "fuzzcheck.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView bytes(data, static_cast<qsizetype>(size));
    HeaderTexts texts;
    LinkSettings link;
    ParameterImages images;
    const Image before = images.ConfigImage;
    const bool read = ReadConfiguration(bytes, texts, link, images);
    if (!read) {
        // A refused file changes nothing.
        FUZZ_CHECK(images.ConfigImage == before);
        FUZZ_CHECK(texts.DeviceName.isEmpty() && texts.Description.isEmpty());
        return 0;
    }
    // Whatever was read is something the link dialogs can show, and counts as saved.
    FUZZ_CHECK(link.CommPort >= 1 && link.CommPort <= 4);
    FUZZ_CHECK(link.LinkMode == LinkSettings::kByKeyboard ||
               link.LinkMode == LinkSettings::kByRs232);
    FUZZ_CHECK(!images.IsChanged());
    // Saving what was read and reading it again settles at once: the second save writes the
    // same file as the first.
    const QByteArray saved = WriteConfiguration(texts, link, images.ConfigImage);
    HeaderTexts texts2;
    LinkSettings link2;
    ParameterImages images2;
    FUZZ_CHECK(ReadConfiguration(saved, texts2, link2, images2));
    FUZZ_CHECK(images2.ConfigImage == images.ConfigImage);
    FUZZ_CHECK(WriteConfiguration(texts2, link2, images2.ConfigImage) == saved);
    return 0;
}
