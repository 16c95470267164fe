#include "keys/keytext.h"

#include "core/charset.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::size_t kControlTableSize = 96;
constexpr int kCellWidth = 3;

// The reader's function keys whose names are four characters long, with their slot codes.
struct LongKey
{
    std::string_view name;
    std::uint8_t code;
};
constexpr std::array<LongKey, 9> kLongKeys = {{
    {"^F10", 149},
    {"^F11", 150},
    {"^F12", 151},
    {"+F10", 161},
    {"+F11", 162},
    {"+F12", 163},
    {"%F10", 173},
    {"%F11", 174},
    {"%F12", 175},
}};

// The slot code of the name between a pair of braces, or -1 when it is not a key.
int KeyCode(QStringView between, bool functionKeys)
{
    if (between.size() < 2 || between.size() > 4)
        return -1;
    std::string name;
    for (QChar c : between) {
        // Names are plain ASCII; anything else cannot match a cell.
        if (c.unicode() > 0x7E)
            return -1;
        name.push_back(static_cast<char>(c.toUpper().unicode()));
    }
    if (name.size() == 2)
        name.push_back(' ');
    if (name.size() == 3) {
        // Only the first occurrence counts, and only when it starts a cell.
        const std::size_t p = KeyNameTable(functionKeys).find(name);
        if (p != std::string_view::npos && p % kCellWidth == 0) {
            const int e = static_cast<int>(p / kCellWidth);
            if (e < 32)
                return e;
            if (e < 53)
                return e + 96;
            if (e < 62)
                return e + 99;
            return e + 102;
        }
        return -1;
    }
    if (!functionKeys)
        return -1;
    for (const auto &key : kLongKeys) {
        if (key.name == name)
            return key.code;
    }
    return -1;
}

} // namespace

std::string_view KeyNameTable(bool functionKeys)
{
    return functionKeys ? strCtrl : strCtrl.substr(0, kControlTableSize);
}

QString KeyName(int cell, bool functionKeys)
{
    const std::string_view table = KeyNameTable(functionKeys);
    const auto start = static_cast<std::size_t>(cell) * kCellWidth;
    if (cell < 0 || start >= table.size())
        return {};
    std::string_view name = table.substr(start, kCellWidth);
    name = name.substr(0, name.find(' '));
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

bool IsStorableKeyCharacter(QChar c, bool functionKeys)
{
    const auto byte = CharToByte(c);
    if (!byte || *byte == kEmptySlot)
        return false;
    return !(functionKeys && *byte >= 176);
}

void EncodeKeyText(QStringView typed, std::span<std::uint8_t> slots, bool functionKeys)
{
    // Characters that cannot be kept are taken out before the names are read, as the box
    // takes them out: otherwise the text shown again later would read differently.
    QString text;
    text.reserve(typed.size());
    for (QChar c : typed) {
        if (IsStorableKeyCharacter(c, functionKeys))
            text.append(c);
    }
    std::size_t k = 0;
    for (qsizetype i = 0; i < text.size() && k < slots.size(); ++i) {
        int code = -1;
        if (text[i] == QLatin1Char('{')) {
            const qsizetype j = text.indexOf(QLatin1Char('}'), i);
            if (j > i + 2) {
                code = KeyCode(text.mid(i + 1, j - i - 1), functionKeys);
                if (code >= 0)
                    i = j;
            }
        }
        if (code < 0)
            code = *CharToByte(text[i]);
        slots[k++] = static_cast<std::uint8_t>(code);
    }
    std::fill(slots.begin() + static_cast<std::ptrdiff_t>(k), slots.end(), kEmptySlot);
}

QString DecodeKeyText(std::span<const std::uint8_t> slots, bool functionKeys)
{
    QString text;
    for (std::uint8_t byte : slots) {
        if (byte == kEmptySlot)
            break;
        if (byte >= 32 && (!functionKeys || byte < 128)) {
            text.append(ByteToChar(byte));
            continue;
        }
        const auto longKey = std::find_if(kLongKeys.begin(), kLongKeys.end(),
                                          [byte](const LongKey &key) { return key.code == byte; });
        if (functionKeys && longKey != kLongKeys.end()) {
            text += QLatin1Char('{') + QLatin1String(longKey->name) + QLatin1Char('}');
            continue;
        }
        // The reader folds every other byte onto a cell of its table, whether or not the
        // encoder could have written it; cells beyond the table show as an empty name.
        int cell = byte;
        if (functionKeys) {
            if (cell > 163)
                cell -= 102;
            if (cell > 151)
                cell -= 99;
            if (cell > 127)
                cell -= 96;
        }
        text += QLatin1Char('{') + KeyName(cell, functionKeys) + QLatin1Char('}');
    }
    return text;
}
