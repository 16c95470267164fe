#include "core/catalogue/pages.h"

namespace {

// The reader keeps "9600", "no parity" and "no terminator" under the code 7.
constexpr FieldOption kBaud[] = {
    {"600", 0}, {"1200", 1}, {"2400", 2}, {"4800", 3}, {"19200", 4}, {"9600", 7},
};
constexpr FieldOption kDataBits[] = {{"7 Data Bits", 0}, {"8 Data Bits", 1}};
constexpr FieldOption kStopBits[] = {{"2 Bits", 0}, {"1 Bit", 1}};
constexpr FieldOption kParity[] = {
    {"Space", 0}, {"Mark", 1}, {"Even", 2}, {"Odd", 3}, {"None", 7},
};
constexpr FieldOption kDisableEnable[] = {{"Disable", 0}, {"Enable", 1}};
constexpr FieldOption kTerminal[] = {
    {"IBM PC/AT,PS/2", 0},
    {"IBM PC/XT", 1},
    {"Apple Desktop Bus(ADB)", 2},
    {"NEC 9800", 3},
};
// The reader sets its bit for lower case, the opposite of the decoder.
constexpr FieldOption kLetterCase[] = {{"Upper Case", 0}, {"Lower Case", 1}};
constexpr FieldOption kOffOn[] = {{"OFF", 0}, {"ON", 1}};
constexpr FieldOption kTerminator[] = {
    {"CR", 0},   {"LF", 1}, {"CR+LF", 2}, {"HT(TAB)", 3}, {"Space", 4}, {"STX-ETX (RS232 Only)", 5},
    {"None", 7},
};
constexpr FieldOption kCharTimeout[] = {{"0 ms", 0}, {"15 ms", 1}};
constexpr FieldOption kCardStandard[] = {{"ISO", 0}, {"JIS2", 1}};
// The device has no track selections 13 and 14.
constexpr FieldOption kTracks[] = {
    {"Single Track", 0},    {"Track 1 Only", 1},   {"Track 2 Only", 2}, {"Track 3 Only", 3},
    {"Track (1-2/3-2)", 4}, {"Track(2-1/3-1)", 5}, {"Track 1-2-3", 6},  {"Track1-3-2", 7},
    {"Track 2-1-3", 8},     {"Track 2-3-1", 9},    {"Track 3-1-2", 10}, {"Track 3-2-1", 11},
    {"Auto", 12},           {"Any", 15},
};
// The separator is picked by the name of a control character, or typed as itself.
constexpr FieldOption kControlNames[] = {
    {"NUL", 0},  {"SOH", 1},  {"STX", 2},  {"ETX", 3},  {"EOT", 4},  {"ENQ", 5},  {"ACK", 6},
    {"BEL", 7},  {"BS", 8},   {"HT", 9},   {"LF", 10},  {"VT", 11},  {"FF", 12},  {"CR", 13},
    {"SO", 14},  {"SI", 15},  {"DLE", 16}, {"DC1", 17}, {"DC2", 18}, {"DC3", 19}, {"DC4", 20},
    {"NAK", 21}, {"SYN", 22}, {"ETB", 23}, {"CAN", 24}, {"EM", 25},  {"SUB", 26}, {"ESC", 27},
    {"FS", 28},  {"GS", 29},  {"RS", 30},  {"US", 31},
};

constexpr const char *kPage = "magcfg4";
// With JIS2 cards the reader reads one fixed track: the track choices do not apply.
constexpr const char *kStandard = "OptISO";
constexpr int kJis2 = 1;

constexpr FieldSpec kFields[] = {
    // "&RS232"
    {.name = "reader.comm.baud",
     .page = kPage,
     .control = "optCfg41A",
     .caption = "Baud Rate",
     .byte = 28,
     .mask = 7,
     .options = kBaud,
     .defaultButton = "cmdDefault41"},
    {.name = "reader.comm.data-bits",
     .page = kPage,
     .control = "optCfg41B",
     .caption = "Data Bits",
     .byte = 26,
     .mask = 32,
     .options = kDataBits,
     .defaultButton = "cmdDefault41"},
    {.name = "reader.comm.stop-bits",
     .page = kPage,
     .control = "optCfg41C",
     .caption = "Stop Bit",
     .byte = 26,
     .mask = 16,
     .options = kStopBits,
     .defaultButton = "cmdDefault41"},
    {.name = "reader.comm.parity",
     .page = kPage,
     .control = "optCfg41D",
     .caption = "Parity",
     .byte = 27,
     .mask = 224,
     .options = kParity,
     .defaultButton = "cmdDefault41"},
    {.name = "reader.comm.rts-cts",
     .page = kPage,
     .control = "optRTSCTS",
     .caption = "RTS/CTS",
     .byte = 27,
     .mask = 16,
     .options = kDisableEnable,
     .defaultButton = "cmdDefault41"},
    {.name = "reader.comm.ack-nak",
     .page = kPage,
     .control = "optACKNCK",
     .caption = "ACK/NAK",
     .byte = 27,
     .mask = 8,
     .options = kDisableEnable,
     .defaultButton = "cmdDefault41"},
    {.name = "reader.comm.xon-xoff",
     .page = kPage,
     .control = "optXONXOFF",
     .caption = "XON/XOFF",
     .byte = 26,
     .mask = 8,
     .options = kDisableEnable,
     .defaultButton = "cmdDefault41"},
    // "&Keyboard"
    {.name = "reader.comm.terminal",
     .page = kPage,
     .control = "optCfg42A",
     .caption = "Terminal Type",
     .byte = 26,
     .mask = 3,
     .options = kTerminal,
     .defaultButton = "cmdDefault42"},
    {.name = "reader.comm.letter-case",
     .page = kPage,
     .control = "Optcfg42b",
     .caption = "Upper/Lower Case",
     .byte = 28,
     .mask = 128,
     .options = kLetterCase,
     .defaultButton = "cmdDefault42"},
    {.name = "reader.comm.alt-method",
     .page = kPage,
     .control = "optCfg42C",
     .caption = "Send Characters by ALT Method",
     .byte = 28,
     .mask = 32,
     .options = kDisableEnable,
     .defaultButton = "cmdDefault42"},
    {.name = "reader.comm.numeric-pad",
     .page = kPage,
     .control = "optCfg42D",
     .caption = "Select Numerical Pad",
     .byte = 28,
     .mask = 64,
     .options = kOffOn,
     .defaultButton = "cmdDefault42"},
    // "&Output Characters"
    {.name = "reader.comm.terminator",
     .page = kPage,
     .control = "optCfg43A",
     .caption = "Select Terminator",
     .byte = 27,
     .mask = 7,
     .options = kTerminator,
     .defaultButton = "cmdDefault43"},
    {.name = "reader.comm.char-timeout",
     .page = kPage,
     .control = "optCfg43B",
     .caption = "Time-out Between Characters",
     .byte = 26,
     .mask = 4,
     .options = kCharTimeout,
     .defaultButton = "cmdDefault43"},
    // "&Magnetic Reader": the card standard comes last so that it is shown after the
    // fields it switches off.
    {.name = "reader.card.tracks",
     .page = kPage,
     .control = "optCfg45A",
     .caption = "Track Selection",
     .byte = 83,
     .mask = 15,
     .options = kTracks,
     .defaultButton = "cmdDefault45",
     .buttonsNamedByCode = true,
     .disabledBy = kStandard,
     .disabledByCode = kJis2},
    {.name = "reader.card.start-stop",
     .page = kPage,
     .control = "chkCfg45B",
     .caption = "Send Start/Stop Character",
     .byte = 28,
     .mask = 16,
     .kind = FieldKind::Flag,
     .options = kFlagOptions,
     .defaultButton = "cmdDefault45"},
    {.name = "reader.card.account-only",
     .page = kPage,
     .control = "chkCfg45C",
     .caption = "Track 2 Account Number Only",
     .byte = 28,
     .mask = 8,
     .kind = FieldKind::Flag,
     .options = kFlagOptions,
     .defaultButton = "cmdDefault45",
     .disabledBy = kStandard,
     .disabledByCode = kJis2},
    {.name = "reader.card.separator",
     .page = kPage,
     .control = "cbo45D",
     .caption = "Separator Character (For Dual Or Triple Tracks)",
     .byte = 84,
     .mask = 0xFF,
     .kind = FieldKind::NamedCharacter,
     .options = kControlNames,
     .defaultButton = "cmdDefault45",
     .disabledBy = kStandard,
     .disabledByCode = kJis2},
    {.name = "reader.card.standard",
     .page = kPage,
     .control = kStandard,
     .caption = "Select Magnetic Card Standard :",
     .byte = 25,
     .mask = 1,
     .options = kCardStandard,
     .defaultButton = "cmdDefault45"},
};

} // namespace

// The fields of page magcfg4.
std::span<const FieldSpec> ReaderCommunicationFields()
{
    return kFields;
}
