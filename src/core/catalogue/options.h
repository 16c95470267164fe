#pragma once

#include "core/fieldcatalogue.h"

// Option tables that the decoder and the reader store alike: the same captions under the same
// codes, whatever byte and mask each section keeps them in. Where the sections store an option
// differently (baud rates, letter case, terminators) each page's file keeps its own table.

// The keyboard languages both sections type their data in; the device stores the index.
inline constexpr FieldOption kLanguageOptions[] = {
    {"US English", 0}, {"UK English", 1},   {"Italian", 2},     {"Spanish", 3},
    {"French", 4},     {"German", 5},       {"Swedish", 6},     {"Switzerland", 7},
    {"Hungarian", 8},  {"Japanese", 9},     {"Belgium", 10},    {"Portuguese", 11},
    {"Denmark", 12},   {"Netherlands", 13}, {"Reserved 1", 14}, {"Reserved 2", 15},
};

inline constexpr FieldOption kInterfaceOptions[] = {
    {"Keyboard Mode", 0},
    {"USB Mode", 1},
    {"RS232 Mode", 2},
};

inline constexpr FieldOption kDataBits[] = {{"7 Data Bits", 0}, {"8 Data Bits", 1}};
inline constexpr FieldOption kStopBits[] = {{"2 Bits", 0}, {"1 Bit", 1}};
// Both sections store "no parity" as 7, not as the option's position.
inline constexpr FieldOption kParity[] = {
    {"Space", 0}, {"Mark", 1}, {"Even", 2}, {"Odd", 3}, {"None", 7},
};
inline constexpr FieldOption kDisableEnable[] = {{"Disable", 0}, {"Enable", 1}};
inline constexpr FieldOption kOffOn[] = {{"OFF", 0}, {"ON", 1}};
inline constexpr FieldOption kTerminal[] = {
    {"IBM PC/AT,PS/2", 0},
    {"IBM PC/XT", 1},
    {"Apple Desktop Bus(ADB)", 2},
    {"NEC 9800", 3},
};
inline constexpr FieldOption kCharTimeout[] = {{"0 ms", 0}, {"15 ms", 1}};
