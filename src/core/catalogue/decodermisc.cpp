#include "core/catalogue/options.h"
#include "core/catalogue/pages.h"
#include "core/catalogue/rows.h"

namespace {

constexpr const char *kPage = "cfg6";
constexpr const char *kCodeIds = "cmdDefault62";

// A code ID is one printable character; a control character cannot be one and is stored as
// 0, which sends no code ID.
constexpr int kFirstPrintable = 32;

constexpr FieldSpec CodeId(const char *name, int byte, const char *control, const char *caption)
{
    FieldSpec row = CharacterRow(kPage, name, byte, control, caption, kCodeIds);
    row.lowestCharacter = kFirstPrintable;
    return row;
}

// The number of characters cut from the data, 0 to 15 in one half of byte 17.
constexpr FieldSpec Truncate(const char *name, int mask, const char *control, const char *caption)
{
    FieldSpec row = ChoiceRow(kPage, name, control, caption, 17, mask, {}, "");
    row.kind = FieldKind::Number;
    row.maximum = 15;
    return row;
}

constexpr FieldSpec kFields[] = {
    // "&Language"
    ChoiceRow(kPage, "decoder.misc.language", "opt61", "Language Selection", 16, 0xF0,
              kLanguageOptions, "cmdDefault61"),
    // "Code &ID"
    FlagRow(kPage, "decoder.misc.code-id", "chk62", "Enable Code ID", 22, 0x04, kCodeIds),
    CodeId("decoder.misc.code-id.upc-a", 0, "txt62_0", "UPC-A"),
    CodeId("decoder.misc.code-id.upc-e", 1, "txt62_1", "UPC-E"),
    CodeId("decoder.misc.code-id.ean-13", 2, "txt62_2", "EAN-13"),
    CodeId("decoder.misc.code-id.ean-8", 3, "txt62_3", "EAN-8"),
    CodeId("decoder.misc.code-id.code-39", 4, "txt62_4", "Code 39"),
    CodeId("decoder.misc.code-id.code-128", 5, "txt62_5", "Code 128"),
    CodeId("decoder.misc.code-id.interleaved-25", 6, "txt62_6", "Interleave 25"),
    CodeId("decoder.misc.code-id.codabar", 7, "txt62_7", "CodaBar/NW7"),
    // "Characters &Edit"
    KeyTextRow(kPage, "decoder.misc.prefix", 8, "txt694", "Prefix", 4),
    KeyTextRow(kPage, "decoder.misc.suffix", 12, "txt693", "Sufix", 4),
    Truncate("decoder.misc.truncate-front", 0xF0, "cboTruncate1", "Truncate Front Characters"),
    Truncate("decoder.misc.truncate-end", 0x0F, "CboTruncate2", "Truncate End Characters"),
};

} // namespace

// The fields of page cfg6.
std::span<const FieldSpec> DecoderMiscFields()
{
    return kFields;
}
