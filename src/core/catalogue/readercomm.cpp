#include "core/catalogue/pages.h"

// The fields of page magcfg4.
std::span<const FieldSpec> ReaderCommunicationFields()
{
    return {};
}
