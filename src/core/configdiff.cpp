#include "core/configdiff.h"

#include "core/fieldtext.h"

ParameterDifferences Differences(const ConfigDocument &a, const ConfigDocument &b)
{
    ParameterDifferences differences;
    const auto entriesA = a.Entries();
    const auto entriesB = b.Entries();
    for (std::size_t i = 0; i < entriesA.size(); ++i) {
        const FieldSpec *field = entriesA[i].field;
        const bool differs = field
                                 ? FieldDiffers(*field, a.images.ConfigImage, b.images.ConfigImage)
                                 : entriesA[i].value != entriesB[i].value;
        if (differs)
            differences.emplace_back(entriesA[i], entriesB[i]);
    }
    // Bits no page shows still go to the device.
    for (int i = 0; i < kImageSize; ++i) {
        const auto byteA = a.images.ConfigImage[i];
        const auto byteB = b.images.ConfigImage[i];
        if (((byteA ^ byteB) & ~CoveredBits(i)) == 0)
            continue;
        const QString name = QStringLiteral("image.byte%1").arg(i);
        const QString caption = QStringLiteral("Byte %1").arg(i);
        const QString group = QStringLiteral("Image");
        differences.push_back({{name, caption, QString::number(byteA), group, QString()},
                               {name, caption, QString::number(byteB), group, QString()}});
    }
    return differences;
}

ParameterDifferences ImageDifferences(const Image &here, const Image &there)
{
    ConfigDocument a;
    a.images.ConfigImage = here;
    ConfigDocument b = a;
    b.images.ConfigImage = there;
    return Differences(a, b);
}

Section OtherSection(Section section)
{
    return section == Section::Reader ? Section::Decoder : Section::Reader;
}

QString SectionInWords(Section section)
{
    const bool reader = section == Section::Reader;
    return QStringLiteral("%1 section (bytes %2 to %3)")
        .arg(reader ? QStringLiteral("reader") : QStringLiteral("decoder"))
        .arg(reader ? kReaderFirst : kDecoderFirst)
        .arg(reader ? kReaderLast : kDecoderLast);
}
