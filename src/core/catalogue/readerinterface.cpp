#include "core/catalogue/pages.h"

namespace {

// The reader's interface sits in the top two bits of byte 26; the unused code 3 is shown as
// "USB Mode", as the device treats it.
constexpr FieldOption kInterface[] = {
    {"Keyboard Mode", 0},
    {"USB Mode", 1},
    {"RS232 Mode", 2},
};

constexpr FieldSpec kFields[] = {
    {.name = "reader.interface.mode",
     .page = "magcfg3",
     .control = "OptCfg3_1",
     .caption = "Interface ",
     .byte = 26,
     .mask = 192,
     .kind = FieldKind::Choice,
     .options = kInterface,
     .fallbackIndex = 1,
     .defaultButton = "cmdDefault31_2"},
    {.name = "reader.interface.read-memory",
     .page = "magcfg3",
     .control = "ChkMSRMem",
     .caption = "Read Memory Enable",
     .byte = 25,
     .mask = 2,
     .kind = FieldKind::Flag,
     .options = kFlagOptions,
     .defaultButton = "cmdDefault31_2"},
    {.name = "reader.interface.no-external-keyboard",
     .page = "magcfg3",
     .control = "ChkNotebook",
     .caption = "Disable External Keyboard",
     .byte = 25,
     .mask = 8,
     .kind = FieldKind::Flag,
     .options = kFlagOptions,
     .defaultButton = "cmdDefault31_2"},
};

} // namespace

// The fields of page magcfg3.
std::span<const FieldSpec> ReaderInterfaceFields()
{
    return kFields;
}
