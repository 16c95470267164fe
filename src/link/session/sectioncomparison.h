#pragma once

#include "core/configdiff.h"
#include "core/parameterimages.h"

#include <QString>

// What an upload showed of a configuration. The device answers an upload with one of its two
// sections, so only that one is compared; the other is named as not compared rather than taken
// as equal. Compare With Device and k30cfg-cli's diff --port, apply and download --verify all
// say it in these words.
struct SectionComparison
{
    Section compared = Section::Decoder;
    // The parameters of that section that differ, as (in the configuration, in the device).
    ParameterDifferences differences;

    bool Differs() const { return !differences.empty(); }
    // "The decoder section (bytes 0 to 24) differs in 2 parameters; the reader section (bytes
    // 25 to 84) could not be read back and was not compared."
    QString Sentence() const;
};

// Compares `configuration` with the `sent` section of `uploaded`, an image whose section an
// upload answer overwrote; whatever else `uploaded` holds is not looked at.
SectionComparison CompareSection(const Image &configuration, const Image &uploaded, Section sent);
