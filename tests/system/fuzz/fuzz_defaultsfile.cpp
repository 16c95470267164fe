// The defaults file is read at every start, from the program's or the user's folder.
#include "core/configfile.h"
#include "fuzzcheck.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView bytes(data, static_cast<qsizetype>(size));
    const std::optional<Image> image = ReadDefaults(bytes);
    if (!image)
        return 0;
    // An accepted file holds an image that writes and reads back unchanged.
    const QByteArray written = WriteDefaults(*image);
    const std::optional<Image> again = ReadDefaults(written);
    FUZZ_CHECK(again && *again == *image);
    FUZZ_CHECK(written.startsWith(kDefaultsMarker));
    return 0;
}
