#pragma once

#include "core/configdocument.h"
#include "core/parameterimages.h"

#include <QString>

#include <utility>
#include <vector>

// The parameters in which two configurations differ, as pairs (entry in a, entry in b), in
// the order the listings show them: header, link, the pages of each section, then the bits no
// page shows. The command line tool's diff and apply and the window's Compare read them.
using ParameterDifferences = std::vector<std::pair<ConfigEntry, ConfigEntry>>;

// The entries whose stored values differ, plus the bits that no page shows ("image.byte19").
ParameterDifferences Differences(const ConfigDocument &a, const ConfigDocument &b);

// Two images of one configuration, header and link settings alike: after an upload into a
// copy of `here`, the differences lie in the section the device sent.
ParameterDifferences ImageDifferences(const Image &here, const Image &there);

// The section the device did not send.
Section OtherSection(Section section);
// "decoder section (bytes 0 to 24)", "reader section (bytes 25 to 84)".
QString SectionInWords(Section section);
