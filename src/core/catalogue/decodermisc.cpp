#include "core/catalogue/languages.h"
#include "core/catalogue/pages.h"

namespace {

constexpr const char *kPage = "cfg6";

// A code ID is one printable character; a control character cannot be one and is stored as
// 0, which sends no code ID.
constexpr int kFirstPrintable = 32;

constexpr FieldSpec CodeId(const char *name, int byte, const char *control, const char *caption)
{
    return {.name = name,
            .page = kPage,
            .control = control,
            .caption = caption,
            .byte = byte,
            .kind = FieldKind::Character,
            .defaultButton = "cmdDefault62",
            .lowestCharacter = kFirstPrintable};
}

constexpr FieldSpec kFields[] = {
    // "&Language"
    {.name = "decoder.misc.language",
     .page = kPage,
     .control = "opt61",
     .caption = "Language Selection",
     .byte = 16,
     .mask = 0xF0,
     .options = kLanguageOptions,
     .defaultButton = "cmdDefault61"},
    // "Code &ID"
    {.name = "decoder.misc.code-id",
     .page = kPage,
     .control = "chk62",
     .caption = "Enable Code ID",
     .byte = 22,
     .mask = 0x04,
     .kind = FieldKind::Flag,
     .options = kFlagOptions,
     .defaultButton = "cmdDefault62"},
    CodeId("decoder.misc.code-id.upc-a", 0, "txt62_0", "UPC-A"),
    CodeId("decoder.misc.code-id.upc-e", 1, "txt62_1", "UPC-E"),
    CodeId("decoder.misc.code-id.ean-13", 2, "txt62_2", "EAN-13"),
    CodeId("decoder.misc.code-id.ean-8", 3, "txt62_3", "EAN-8"),
    CodeId("decoder.misc.code-id.code-39", 4, "txt62_4", "Code 39"),
    CodeId("decoder.misc.code-id.code-128", 5, "txt62_5", "Code 128"),
    CodeId("decoder.misc.code-id.interleaved-25", 6, "txt62_6", "Interleave 25"),
    CodeId("decoder.misc.code-id.codabar", 7, "txt62_7", "CodaBar/NW7"),
    // "Characters &Edit"
    {.name = "decoder.misc.prefix",
     .page = kPage,
     .control = "txt694",
     .caption = "Prefix",
     .byte = 8,
     .kind = FieldKind::KeyText,
     .slots = 4},
    {.name = "decoder.misc.suffix",
     .page = kPage,
     .control = "txt693",
     .caption = "Sufix",
     .byte = 12,
     .kind = FieldKind::KeyText,
     .slots = 4},
    {.name = "decoder.misc.truncate-front",
     .page = kPage,
     .control = "cboTruncate1",
     .caption = "Truncate Front Characters",
     .byte = 17,
     .mask = 0xF0,
     .kind = FieldKind::Number,
     .maximum = 15},
    {.name = "decoder.misc.truncate-end",
     .page = kPage,
     .control = "CboTruncate2",
     .caption = "Truncate End Characters",
     .byte = 17,
     .mask = 0x0F,
     .kind = FieldKind::Number,
     .maximum = 15},
};

} // namespace

// The fields of page cfg6.
std::span<const FieldSpec> DecoderMiscFields()
{
    return kFields;
}
