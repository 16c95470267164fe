#include "core/catalogue/options.h"
#include "core/catalogue/pages.h"
#include "core/catalogue/rows.h"

namespace {

// The reader keeps "9600" and "no terminator" under the code 7.
constexpr FieldOption kBaud[] = {
    {"600", 0}, {"1200", 1}, {"2400", 2}, {"4800", 3}, {"19200", 4}, {"9600", 7},
};
// The reader sets its bit for lower case, the opposite of the decoder.
constexpr FieldOption kLetterCase[] = {{"Upper Case", 0}, {"Lower Case", 1}};
constexpr FieldOption kTerminator[] = {
    {"CR", 0},   {"LF", 1}, {"CR+LF", 2}, {"HT(TAB)", 3}, {"Space", 4}, {"STX-ETX (RS232 Only)", 5},
    {"None", 7},
};
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
constexpr const char *kCard = "cmdDefault45";
// With JIS2 cards the reader reads one fixed track: the track choices do not apply.
constexpr const char *kStandard = "OptISO";
constexpr int kJis2 = 1;

constexpr FieldSpec OffWithJis2(FieldSpec row)
{
    row.disabledBy = kStandard;
    row.disabledByCode = kJis2;
    return row;
}

// The track selection's buttons are named by code: the device has no codes 13 and 14.
constexpr FieldSpec Tracks()
{
    FieldSpec row = ChoiceRow(kPage, "reader.card.tracks", "optCfg45A", "Track Selection", 83, 15,
                              kTracks, kCard);
    row.buttonsNamedByCode = true;
    return OffWithJis2(row);
}

constexpr FieldSpec Separator()
{
    FieldSpec row = ChoiceRow(kPage, "reader.card.separator", "cbo45D",
                              "Separator Character (For Dual Or Triple Tracks)", 84, 0xFF,
                              kControlNames, kCard);
    row.kind = FieldKind::NamedCharacter;
    return OffWithJis2(row);
}

constexpr FieldSpec kFields[] = {
    // "&RS232"
    ChoiceRow(kPage, "reader.comm.baud", "optCfg41A", "Baud Rate", 28, 7, kBaud, "cmdDefault41"),
    ChoiceRow(kPage, "reader.comm.data-bits", "optCfg41B", "Data Bits", 26, 32, kDataBits,
              "cmdDefault41"),
    ChoiceRow(kPage, "reader.comm.stop-bits", "optCfg41C", "Stop Bit", 26, 16, kStopBits,
              "cmdDefault41"),
    ChoiceRow(kPage, "reader.comm.parity", "optCfg41D", "Parity", 27, 224, kParity, "cmdDefault41"),
    ChoiceRow(kPage, "reader.comm.rts-cts", "optRTSCTS", "RTS/CTS", 27, 16, kDisableEnable,
              "cmdDefault41"),
    ChoiceRow(kPage, "reader.comm.ack-nak", "optACKNCK", "ACK/NAK", 27, 8, kDisableEnable,
              "cmdDefault41"),
    ChoiceRow(kPage, "reader.comm.xon-xoff", "optXONXOFF", "XON/XOFF", 26, 8, kDisableEnable,
              "cmdDefault41"),
    // "&Keyboard"
    ChoiceRow(kPage, "reader.comm.terminal", "optCfg42A", "Terminal Type", 26, 3, kTerminal,
              "cmdDefault42"),
    ChoiceRow(kPage, "reader.comm.letter-case", "Optcfg42b", "Upper/Lower Case", 28, 128,
              kLetterCase, "cmdDefault42"),
    ChoiceRow(kPage, "reader.comm.alt-method", "optCfg42C", "Send Characters by ALT Method", 28, 32,
              kDisableEnable, "cmdDefault42"),
    ChoiceRow(kPage, "reader.comm.numeric-pad", "optCfg42D", "Select Numerical Pad", 28, 64, kOffOn,
              "cmdDefault42"),
    // "&Output Characters"
    ChoiceRow(kPage, "reader.comm.terminator", "optCfg43A", "Select Terminator", 27, 7, kTerminator,
              "cmdDefault43"),
    ChoiceRow(kPage, "reader.comm.char-timeout", "optCfg43B", "Time-out Between Characters", 26, 4,
              kCharTimeout, "cmdDefault43"),
    // "&Magnetic Reader": the card standard comes last so that it is shown after the
    // fields it switches off.
    Tracks(),
    FlagRow(kPage, "reader.card.start-stop", "chkCfg45B", "Send Start/Stop Character", 28, 16,
            kCard),
    OffWithJis2(FlagRow(kPage, "reader.card.account-only", "chkCfg45C",
                        "Track 2 Account Number Only", 28, 8, kCard)),
    Separator(),
    ChoiceRow(kPage, "reader.card.standard", kStandard, "Select Magnetic Card Standard :", 25, 1,
              kCardStandard, kCard),
};

} // namespace

// The fields of page magcfg4.
std::span<const FieldSpec> ReaderCommunicationFields()
{
    return kFields;
}
