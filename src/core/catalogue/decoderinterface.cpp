#include "core/catalogue/options.h"
#include "core/catalogue/pages.h"
#include "core/catalogue/rows.h"

namespace {

constexpr const char *kPage = "cfg3";

constexpr FieldSpec kFields[] = {
    ChoiceRow(kPage, "decoder.interface.mode", "OptCfg3_1", "Interface", 22, 3, kInterfaceOptions,
              "cmdDefault31_2"),
    FlagRow(kPage, "decoder.interface.read-memory", "ChkRead", "Read Memory Enable", 24, 1,
            "cmdDefault31_2"),
};

} // namespace

// The fields of page cfg3.
std::span<const FieldSpec> DecoderInterfaceFields()
{
    return kFields;
}
