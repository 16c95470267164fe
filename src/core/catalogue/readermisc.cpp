#include "core/catalogue/pages.h"

// The fields of page magcfg6.
std::span<const FieldSpec> ReaderMiscFields()
{
    return {};
}
