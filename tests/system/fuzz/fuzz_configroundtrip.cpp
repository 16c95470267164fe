// Writing a configuration and reading it back gives the same configuration. The input is the
// state: 85 image bytes, port and link mode, then the four header texts separated by NUL.
#include "core/charset.h"
#include "core/configfile.h"
#include "fuzzcheck.h"

#include <QList>

#include <cstddef>
#include <cstdint>

namespace {

// The file keeps a text on one line: line ends inside it become blanks.
QString Flat(QString text)
{
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < kImageSize + 2)
        return 0;
    Image image;
    for (int i = 0; i < kImageSize; ++i)
        image[i] = data[i];
    LinkSettings link;
    link.CommPort = 1 + data[kImageSize] % 4;
    link.LinkMode = data[kImageSize + 1] % 2;
    const QList<QByteArray> parts =
        QByteArray(reinterpret_cast<const char *>(data) + kImageSize + 2,
                   static_cast<qsizetype>(size) - kImageSize - 2)
            .split('\0');
    HeaderTexts texts{BytesToText(parts.value(0)), BytesToText(parts.value(1)),
                      BytesToText(parts.value(2)), BytesToText(parts.value(3))};

    const QByteArray file = WriteConfiguration(texts, link, image);
    HeaderTexts readTexts;
    LinkSettings readLink;
    ParameterImages images;
    FUZZ_CHECK(ReadConfiguration(file, readTexts, readLink, images));
    FUZZ_CHECK(images.ConfigImage == image);
    FUZZ_CHECK(!images.IsChanged());
    FUZZ_CHECK(readLink.CommPort == link.CommPort && readLink.LinkMode == link.LinkMode);
    FUZZ_CHECK(readTexts.DeviceName == Flat(texts.DeviceName));
    FUZZ_CHECK(readTexts.UserName == Flat(texts.UserName));
    FUZZ_CHECK(readTexts.BuildingDate == Flat(texts.BuildingDate));
    FUZZ_CHECK(readTexts.Description == Flat(texts.Description));
    FUZZ_CHECK(file.count('\n') == kConfigLines);
    // Saving what was read writes the same file.
    FUZZ_CHECK(WriteConfiguration(readTexts, readLink, images.ConfigImage) == file);
    return 0;
}
