#include "core/catalogue/pages.h"

namespace {

constexpr FieldOption kBaud[] = {{"2400", 0}, {"4800", 1}, {"9600", 2}, {"19200", 3}};
constexpr FieldOption kDataBits[] = {{"7 Data Bits", 0}, {"8 Data Bits", 1}};
constexpr FieldOption kStopBits[] = {{"2 Bits", 0}, {"1 Bit", 1}};
// The decoder stores "no parity" as 7, not as the option's position.
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
// The decoder sets its bit for upper case; the reader codes the opposite way.
constexpr FieldOption kLetterCase[] = {{"Lower Case", 0}, {"Upper Case", 1}};
constexpr FieldOption kOffOn[] = {{"OFF", 0}, {"ON", 1}};
constexpr FieldOption kTerminator[] = {
    {"CR", 0},      {"LF", 1},    {"CR+LF", 2},
    {"HT(TAB)", 3}, {"Space", 4}, {"STX-ETX (RS232 Mode Only)", 5},
    {"None", 6},
};
constexpr FieldOption kCharTimeout[] = {{"0 ms", 0}, {"15 ms", 1}};

constexpr const char *kPage = "cfg4";

constexpr FieldSpec kFields[] = {
    // "&RS232"
    {.name = "decoder.comm.baud",
     .page = kPage,
     .control = "optCfg41A",
     .caption = "Baud Rate",
     .byte = 16,
     .mask = 12,
     .options = kBaud,
     .defaultButton = "cmdDefault41"},
    {.name = "decoder.comm.data-bits",
     .page = kPage,
     .control = "optCfg41B",
     .caption = "Data Bits",
     .byte = 19,
     .mask = 8,
     .options = kDataBits,
     .defaultButton = "cmdDefault41"},
    {.name = "decoder.comm.stop-bits",
     .page = kPage,
     .control = "optCfg41C",
     .caption = "Stop Bits",
     .byte = 19,
     .mask = 128,
     .options = kStopBits,
     .defaultButton = "cmdDefault41"},
    {.name = "decoder.comm.parity",
     .page = kPage,
     .control = "optCfg41D",
     .caption = "Parity",
     .byte = 19,
     .mask = 112,
     .options = kParity,
     .defaultButton = "cmdDefault41"},
    {.name = "decoder.comm.rts-cts",
     .page = kPage,
     .control = "optRTSCTS",
     .caption = "RTS/CTS",
     .byte = 20,
     .mask = 8,
     .options = kDisableEnable,
     .defaultButton = "cmdDefault41"},
    {.name = "decoder.comm.ack-nak",
     .page = kPage,
     .control = "optACKNCK",
     .caption = "ACK/NAK",
     .byte = 20,
     .mask = 16,
     .options = kDisableEnable,
     .defaultButton = "cmdDefault41"},
    {.name = "decoder.comm.xon-xoff",
     .page = kPage,
     .control = "optXONXOFF",
     .caption = "XON/XOFF",
     .byte = 20,
     .mask = 32,
     .options = kDisableEnable,
     .defaultButton = "cmdDefault41"},
    // "&Keyboard"
    {.name = "decoder.comm.terminal",
     .page = kPage,
     .control = "optCfg42A",
     .caption = "Terminal Type",
     .byte = 16,
     .mask = 3,
     .options = kTerminal,
     .defaultButton = "cmdDefault42"},
    {.name = "decoder.comm.letter-case",
     .page = kPage,
     .control = "Optcfg42b",
     .caption = "Upper/Lower Case",
     .byte = 19,
     .mask = 4,
     .options = kLetterCase,
     .defaultButton = "cmdDefault42"},
    {.name = "decoder.comm.alt-method",
     .page = kPage,
     .control = "optCfg42C",
     .caption = "Send Characters by ALT Method",
     .byte = 20,
     .mask = 64,
     .options = kDisableEnable,
     .defaultButton = "cmdDefault42"},
    {.name = "decoder.comm.numeric-pad",
     .page = kPage,
     .control = "optCfg42D",
     .caption = "Select Numerical Pad",
     .byte = 20,
     .mask = 128,
     .options = kOffOn,
     .defaultButton = "cmdDefault42"},
    // "&Output Character"
    {.name = "decoder.comm.terminator",
     .page = kPage,
     .control = "optCfg43A",
     .caption = "Select Terminator",
     .byte = 20,
     .mask = 7,
     .options = kTerminator,
     .defaultButton = "cmdDefault43"},
    {.name = "decoder.comm.char-timeout",
     .page = kPage,
     .control = "optCfg43B",
     .caption = "Time-out Between Characters",
     .byte = 19,
     .mask = 2,
     .options = kCharTimeout,
     .defaultButton = "cmdDefault43"},
};

} // namespace

// The fields of page cfg4.
std::span<const FieldSpec> DecoderCommunicationFields()
{
    return kFields;
}
