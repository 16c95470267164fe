#pragma once

#include "core/fieldcatalogue.h"

// The keyboard languages both sections type their data in; the device stores the index.
inline constexpr FieldOption kLanguageOptions[] = {
    {"US English", 0}, {"UK English", 1},   {"Italian", 2},     {"Spanish", 3},
    {"French", 4},     {"German", 5},       {"Swedish", 6},     {"Switzerland", 7},
    {"Hungarian", 8},  {"Japanese", 9},     {"Belgium", 10},    {"Portuguese", 11},
    {"Denmark", 12},   {"Netherlands", 13}, {"Reserved 1", 14}, {"Reserved 2", 15},
};
