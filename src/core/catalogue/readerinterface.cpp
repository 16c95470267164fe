#include "core/catalogue/pages.h"

// The fields of page magcfg3.
std::span<const FieldSpec> ReaderInterfaceFields()
{
    return {};
}
