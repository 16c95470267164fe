#include "core/catalogue/pages.h"

namespace {

constexpr FieldOption kInterface[] = {
    {"Keyboard Mode", 0},
    {"USB Mode", 1},
    {"RS232 Mode", 2},
};

constexpr FieldSpec kFields[] = {
    {.name = "decoder.interface.mode",
     .page = "cfg3",
     .control = "OptCfg3_1",
     .caption = "Interface",
     .byte = 22,
     .mask = 3,
     .kind = FieldKind::Choice,
     .options = kInterface,
     .defaultButton = "cmdDefault31_2"},
    {.name = "decoder.interface.read-memory",
     .page = "cfg3",
     .control = "ChkRead",
     .caption = "Read Memory Enable",
     .byte = 24,
     .mask = 1,
     .kind = FieldKind::Flag,
     .options = kFlagOptions,
     .defaultButton = "cmdDefault31_2"},
};

} // namespace

std::span<const FieldSpec> DecoderInterfaceFields()
{
    return kFields;
}
