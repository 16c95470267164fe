#include "core/catalogue/pages.h"

// The fields of page cfg4.
std::span<const FieldSpec> DecoderCommunicationFields()
{
    return {};
}
