#pragma once

#include "core/fieldcatalogue.h"

// The rows of each page, one file per page.
std::span<const FieldSpec> DecoderInterfaceFields();     // cfg3
std::span<const FieldSpec> DecoderCommunicationFields(); // cfg4
std::span<const FieldSpec> BarCodeFields();              // cfg5
std::span<const FieldSpec> DecoderMiscFields();          // cfg6
std::span<const FieldSpec> ReaderInterfaceFields();      // magcfg3
std::span<const FieldSpec> ReaderCommunicationFields();  // magcfg4
std::span<const FieldSpec> ReaderMiscFields();           // magcfg6
