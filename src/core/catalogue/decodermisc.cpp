#include "core/catalogue/pages.h"

// The fields of page cfg6.
std::span<const FieldSpec> DecoderMiscFields()
{
    return {};
}
