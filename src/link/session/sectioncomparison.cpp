#include "link/session/sectioncomparison.h"

#include <algorithm>

QString SectionComparison::Sentence() const
{
    const std::size_t count = differences.size();
    const QString verdict = count == 0   ? QStringLiteral("holds the same values")
                            : count == 1 ? QStringLiteral("differs in 1 parameter")
                                         : QStringLiteral("differs in %1 parameters").arg(count);
    return QStringLiteral("The %1 %2; the %3 could not be read back and was not compared.")
        .arg(SectionInWords(compared), verdict, SectionInWords(OtherSection(compared)));
}

SectionComparison CompareSection(const Image &configuration, const Image &uploaded, Section sent)
{
    // Only the section sent is taken from the device; the rest is the configuration's own, so
    // no difference can lie outside it.
    const bool reader = sent == Section::Reader;
    const int first = reader ? kReaderFirst : kDecoderFirst;
    const int last = reader ? kReaderLast : kDecoderLast;
    Image device = configuration;
    std::copy(uploaded.begin() + first, uploaded.begin() + last + 1, device.begin() + first);
    return {sent, ImageDifferences(configuration, device)};
}
