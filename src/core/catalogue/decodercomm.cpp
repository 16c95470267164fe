#include "core/catalogue/options.h"
#include "core/catalogue/pages.h"
#include "core/catalogue/rows.h"

namespace {

constexpr FieldOption kBaud[] = {{"2400", 0}, {"4800", 1}, {"9600", 2}, {"19200", 3}};
// The decoder sets its bit for upper case; the reader codes the opposite way.
constexpr FieldOption kLetterCase[] = {{"Lower Case", 0}, {"Upper Case", 1}};
// The decoder keeps "no terminator" under 6, the reader under 7.
constexpr FieldOption kTerminator[] = {
    {"CR", 0},      {"LF", 1},    {"CR+LF", 2},
    {"HT(TAB)", 3}, {"Space", 4}, {"STX-ETX (RS232 Mode Only)", 5},
    {"None", 6},
};

constexpr const char *kPage = "cfg4";

constexpr FieldSpec kFields[] = {
    // "&RS232"
    ChoiceRow(kPage, "decoder.comm.baud", "optCfg41A", "Baud Rate", 16, 12, kBaud, "cmdDefault41"),
    ChoiceRow(kPage, "decoder.comm.data-bits", "optCfg41B", "Data Bits", 19, 8, kDataBits,
              "cmdDefault41"),
    ChoiceRow(kPage, "decoder.comm.stop-bits", "optCfg41C", "Stop Bits", 19, 128, kStopBits,
              "cmdDefault41"),
    ChoiceRow(kPage, "decoder.comm.parity", "optCfg41D", "Parity", 19, 112, kParity,
              "cmdDefault41"),
    ChoiceRow(kPage, "decoder.comm.rts-cts", "optRTSCTS", "RTS/CTS", 20, 8, kDisableEnable,
              "cmdDefault41"),
    ChoiceRow(kPage, "decoder.comm.ack-nak", "optACKNCK", "ACK/NAK", 20, 16, kDisableEnable,
              "cmdDefault41"),
    ChoiceRow(kPage, "decoder.comm.xon-xoff", "optXONXOFF", "XON/XOFF", 20, 32, kDisableEnable,
              "cmdDefault41"),
    // "&Keyboard"
    ChoiceRow(kPage, "decoder.comm.terminal", "optCfg42A", "Terminal Type", 16, 3, kTerminal,
              "cmdDefault42"),
    ChoiceRow(kPage, "decoder.comm.letter-case", "Optcfg42b", "Upper/Lower Case", 19, 4,
              kLetterCase, "cmdDefault42"),
    ChoiceRow(kPage, "decoder.comm.alt-method", "optCfg42C", "Send Characters by ALT Method", 20,
              64, kDisableEnable, "cmdDefault42"),
    ChoiceRow(kPage, "decoder.comm.numeric-pad", "optCfg42D", "Select Numerical Pad", 20, 128,
              kOffOn, "cmdDefault42"),
    // "&Output Character"
    ChoiceRow(kPage, "decoder.comm.terminator", "optCfg43A", "Select Terminator", 20, 7,
              kTerminator, "cmdDefault43"),
    ChoiceRow(kPage, "decoder.comm.char-timeout", "optCfg43B", "Time-out Between Characters", 19, 2,
              kCharTimeout, "cmdDefault43"),
};

} // namespace

// The fields of page cfg4.
std::span<const FieldSpec> DecoderCommunicationFields()
{
    return kFields;
}
