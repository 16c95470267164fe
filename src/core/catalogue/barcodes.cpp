#include "core/catalogue/pages.h"
#include "core/catalogue/rows.h"

namespace {

constexpr FieldOption kTransmit[] = {{"Not Transmit", 0}, {"Transmit", 1}};
constexpr FieldOption kCode39Output[] = {{"Full ASCII", 0}, {"Standard", 1}};
constexpr FieldOption kStartStop[] = {{"Not Optput ", 0}, {"Output ", 1}};
// The device keeps 0 for "not calculated" too; such a field is shown as the first option.
constexpr FieldOption kCheckDigit[] = {
    {"Do Not Calculate Check Digit", 1},
    {"Calculate Check Digit and Not Transmit", 2},
    {"Calculate Check Digit and Transmit", 3},
};

constexpr const char *kPage = "cfg5";

constexpr FieldSpec Flag(const char *name, const char *control, const char *caption, int byte,
                         int mask, const char *button)
{
    return FlagRow(kPage, name, control, caption, byte, mask, button);
}

constexpr FieldSpec Choice(const char *name, const char *control, const char *caption, int byte,
                           int mask, std::span<const FieldOption> options, const char *button)
{
    return ChoiceRow(kPage, name, control, caption, byte, mask, options, button);
}

// A stored 0 is shown as the first option, "Do Not Calculate Check Digit".
constexpr FieldSpec CheckDigit(const char *name, const char *control, int byte, int mask,
                               const char *button)
{
    FieldSpec row = Choice(name, control, "Check Digit", byte, mask, kCheckDigit, button);
    row.fallbackIndex = 0;
    return row;
}

// The check box arrays are one row per box, named as the array's element ("chk51_3").
constexpr FieldSpec kFields[] = {
    // "&Symboligies": byte 21, one bit per symbology (chk51)
    Flag("decoder.barcodes.codabar", "chk51_0", "CodaBar/NW7", 21, 0x01, "cmdSetAll"),
    Flag("decoder.barcodes.interleave25", "chk51_1", "Interleave 25", 21, 0x02, "cmdSetAll"),
    Flag("decoder.barcodes.code128", "chk51_2", "Code 128", 21, 0x04, "cmdSetAll"),
    Flag("decoder.barcodes.code39", "chk51_3", "Code 39", 21, 0x08, "cmdSetAll"),
    Flag("decoder.barcodes.ean8", "chk51_4", "EAN-8/JAN-8", 21, 0x10, "cmdSetAll"),
    Flag("decoder.barcodes.ean13", "chk51_5", "EAN-13/JAN-13", 21, 0x20, "cmdSetAll"),
    Flag("decoder.barcodes.upce", "chk51_6", "UPC-E", 21, 0x40, "cmdSetAll"),
    Flag("decoder.barcodes.upca", "chk51_7", "UPC-A", 21, 0x80, "cmdSetAll"),
    // "&UPC/EAN/JAN"
    Flag("decoder.upc.upca-as-ean13", "chkUpcAEan13", "UPC-A=EAN-13", 22, 0x80, "cmdDefault52C"),
    Flag("decoder.upc.isbn", "chkIsbn", "Enable ISBN/ISSN", 22, 0x10, "cmdDefault52C"),
    Choice("decoder.upc.supplemental", "optCfg52B", "Supplemental Code Setup", 22, 0x40, kTransmit,
           "cmdDefault52C"),
    Choice("decoder.upc.check-digit", "Optcheck", "Check Digit", 22, 0x20, kTransmit,
           "cmdDefault52C"),
    // "Code &39"
    Choice("decoder.code39.output", "Optcode39", "Output As", 23, 0x02, kCode39Output,
           "cmdDefault53"),
    Choice("decoder.code39.start-stop", "OptStart_stop", "Start/Stop Character", 23, 0x01,
           kStartStop, "cmdDefault53"),
    CheckDigit("decoder.code39.check-digit", "opt53B", 23, 0xC0, "cmdDefault53"),
    // "Code 12&8"
    CheckDigit("decoder.code128.check-digit", "opt54A", 23, 0x30, "cmdDefault54"),
    // "&Interleave 25"
    CheckDigit("decoder.interleave25.check-digit", "opt55A", 23, 0x0C, "cmdDefault55"),
    Flag("decoder.interleave25.brazil25", "ChkBrazil", "Brazil 25", 19, 0x01, "cmdDefault55"),
    // "Coda&bar": byte 18 bits 0 to 3 the stop characters, bits 4 to 7 the start characters
    Flag("decoder.codabar.stop-a", "ChkStart_0", "A", 18, 0x01, "cmdDefault58"),
    Flag("decoder.codabar.stop-b", "ChkStart_1", "B", 18, 0x02, "cmdDefault58"),
    Flag("decoder.codabar.stop-c", "ChkStart_2", "C", 18, 0x04, "cmdDefault58"),
    Flag("decoder.codabar.stop-d", "ChkStart_3", "D", 18, 0x08, "cmdDefault58"),
    Flag("decoder.codabar.start-a", "ChkStart_4", "A", 18, 0x10, "cmdDefault58"),
    Flag("decoder.codabar.start-b", "ChkStart_5", "B", 18, 0x20, "cmdDefault58"),
    Flag("decoder.codabar.start-c", "ChkStart_6", "C", 18, 0x40, "cmdDefault58"),
    Flag("decoder.codabar.start-d", "ChkStart_7", "D", 18, 0x80, "cmdDefault58"),
    Flag("decoder.codabar.send-start-stop", "chk58A",
         "Set Up Start/Stop Characters Upon Transmission", 22, 0x08, "cmdDefault58"),
};

} // namespace

// The fields of page cfg5.
std::span<const FieldSpec> BarCodeFields()
{
    return kFields;
}
