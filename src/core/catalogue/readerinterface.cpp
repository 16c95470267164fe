#include "core/catalogue/options.h"
#include "core/catalogue/pages.h"
#include "core/catalogue/rows.h"

namespace {

constexpr const char *kPage = "magcfg3";
constexpr const char *kButton = "cmdDefault31_2";

// The reader's interface sits in the top two bits of byte 26; the unused code 3 is shown as
// "USB Mode", as the device treats it.
constexpr FieldSpec Interface()
{
    FieldSpec row = ChoiceRow(kPage, "reader.interface.mode", "OptCfg3_1", "Interface ", 26, 192,
                              kInterfaceOptions, kButton);
    row.fallbackIndex = 1;
    return row;
}

constexpr FieldSpec kFields[] = {
    Interface(),
    FlagRow(kPage, "reader.interface.read-memory", "ChkMSRMem", "Read Memory Enable", 25, 2,
            kButton),
    FlagRow(kPage, "reader.interface.no-external-keyboard", "ChkNotebook",
            "Disable External Keyboard", 25, 8, kButton),
};

} // namespace

// The fields of page magcfg3.
std::span<const FieldSpec> ReaderInterfaceFields()
{
    return kFields;
}
