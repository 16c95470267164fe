#include "core/catalogue/pages.h"

// The fields of page cfg5.
std::span<const FieldSpec> BarCodeFields()
{
    return {};
}
