#include "core/catalogue/options.h"
#include "core/catalogue/pages.h"
#include "core/catalogue/rows.h"

namespace {

constexpr const char *kPage = "magcfg6";

// Each track has a prefix of 8 key slots at 29 + 16 (t - 1) and a suffix right after it;
// one box shows the prefix of the track chosen in Opt1Track, another the suffix of the
// track chosen in Opt2Track.
constexpr FieldSpec TrackKeys(const char *name, int byte, const char *control, const char *caption,
                              const char *selector, int track)
{
    FieldSpec row = KeyTextRow(kPage, name, byte, control, caption, 8);
    row.functionKeys = true;
    row.selector = selector;
    row.selectorIndex = track;
    return row;
}

// Start and end sentinels are sent as they are, control characters included; an emptied
// box leaves the stored character in place.
constexpr FieldSpec Sentinel(const char *name, int byte, const char *control, const char *caption)
{
    FieldSpec row = CharacterRow(kPage, name, byte, control, caption, "CmdDefault");
    row.emptyKeepsByte = true;
    return row;
}

constexpr FieldSpec kFields[] = {
    // "&Language"
    ChoiceRow(kPage, "reader.misc.language", "opt61", "Language Selection", 83, 0xF0,
              kLanguageOptions, "cmdDefault61"),
    // "Tracks &Edit"
    TrackKeys("reader.misc.track1.prefix", 29, "txt694", "Prefix", "Opt1Track", 0),
    TrackKeys("reader.misc.track1.suffix", 37, "txt693", "Sufix", "Opt2Track", 0),
    TrackKeys("reader.misc.track2.prefix", 45, "txt694", "Prefix", "Opt1Track", 1),
    TrackKeys("reader.misc.track2.suffix", 53, "txt693", "Sufix", "Opt2Track", 1),
    TrackKeys("reader.misc.track3.prefix", 61, "txt694", "Prefix", "Opt1Track", 2),
    TrackKeys("reader.misc.track3.suffix", 69, "txt693", "Sufix", "Opt2Track", 2),
    // "Start and End &Char"
    Sentinel("reader.misc.track1.start", 77, "txtChar_0", "Track 1 Start Char:"),
    Sentinel("reader.misc.track1.end", 78, "txtChar_1", "Track 1 End Char:"),
    Sentinel("reader.misc.track2.start", 79, "txtChar_2", "Track 2 Start Char:"),
    Sentinel("reader.misc.track2.end", 80, "txtChar_3", "Track 2 End Char:"),
    Sentinel("reader.misc.track3.start", 81, "txtChar_4", "Track 3 Start Char:"),
    Sentinel("reader.misc.track3.end", 82, "txtChar_5", "Track 3 End Char:"),
};

} // namespace

// The fields of page magcfg6.
std::span<const FieldSpec> ReaderMiscFields()
{
    return kFields;
}
