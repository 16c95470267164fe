#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>
#include <span>
#include <string_view>

// Prefix and suffix texts in key notation: printable characters stand for themselves,
// control characters and (reader only) function keys are names in braces, "{CR}", "{^F10}".
// In the image a prefix or suffix is a run of slots, one byte per key; 255 is an empty slot
// and the first 255 ends the text.

// The key-name table: 3-character cells, blank padded. Cells 0 to 31 are the control
// characters (all the decoder knows), 32 to 43 F1 to F12, 44 to 52 ^F1 to ^F9, 53 to 61
// +F1 to +F9, 62 to 70 %F1 to %F9. ^F10 and its kin do not fit a cell and are named apart.
inline constexpr std::string_view strCtrl =
    "NULSOHSTXETXEOTENQACKBELBS HT LF VT FF CR SO SI DLEDC1DC2DC3DC4NAKSYNETBCANEM SUBESCFS "
    "GS RS US "
    "F1 F2 F3 F4 F5 F6 F7 F8 F9 F10F11F12^F1^F2^F3^F4^F5^F6^F7^F8^F9"
    "+F1+F2+F3+F4+F5+F6+F7+F8+F9%F1%F2%F3%F4%F5%F6%F7%F8%F9";

inline constexpr std::uint8_t kEmptySlot = 255;
inline constexpr int kDecoderKeySlots = 4;
inline constexpr int kReaderKeySlots = 8;

// The part of strCtrl a device section knows: the control part on the decoder, all of it on
// the reader.
std::string_view KeyNameTable(bool functionKeys);

// The name of cell `cell` of the table without its blanks; empty beyond the table.
QString KeyName(int cell, bool functionKeys);

// Whether a typed character can be kept in a slot. Characters outside the single-byte set
// cannot; neither can code 255, which marks an empty slot, nor, on the reader, codes 176 to
// 254, which the reader reads back as keys and so would not come back as typed.
bool IsStorableKeyCharacter(QChar c, bool functionKeys);

// Writes the slots from a key text. Unknown or malformed names are stored as their
// characters; keys beyond the last slot are dropped; unused slots become 255.
void EncodeKeyText(QStringView text, std::span<std::uint8_t> slots, bool functionKeys);

// The key text of a run of slots.
QString DecodeKeyText(std::span<const std::uint8_t> slots, bool functionKeys);
