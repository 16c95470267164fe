#include "core/fieldtext.h"

#include "core/charset.h"
#include "keys/keytext.h"

#include <QStringList>

#include <algorithm>
#include <vector>

namespace {

constexpr int kControlNames = 32;

std::span<const std::uint8_t> Slots(const FieldSpec &field, const Image &image)
{
    return std::span(image).subspan(static_cast<std::size_t>(field.byte),
                                    static_cast<std::size_t>(field.slots));
}

QString Reason(const FieldSpec &field, QStringView text, const QString &why)
{
    return QStringLiteral("%1: \"%2\" %3").arg(Text(field.name), text.toString(), why);
}

// The option whose caption the text is, or -1.
int FindOption(const FieldSpec &field, QStringView text)
{
    const QStringView wanted = text.trimmed();
    for (std::size_t i = 0; i < field.options.size(); ++i) {
        if (Text(field.options[i].caption).trimmed().compare(wanted, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    }
    return -1;
}

// The control character a "{NAME}" text names, or nothing.
std::optional<std::uint8_t> ControlByName(QStringView text)
{
    if (text.size() < 3 || !text.startsWith(QLatin1Char('{')) || !text.endsWith(QLatin1Char('}')))
        return std::nullopt;
    const QStringView name = text.mid(1, text.size() - 2);
    for (int cell = 0; cell < kControlNames; ++cell) {
        if (KeyName(cell, false).compare(name, Qt::CaseInsensitive) == 0)
            return static_cast<std::uint8_t>(cell);
    }
    return std::nullopt;
}

QString CharacterValueText(const FieldSpec &field, std::uint8_t byte)
{
    if (byte < kControlNames && !(byte == 0 && field.lowestCharacter > 0))
        return QLatin1Char('{') + KeyName(byte, false) + QLatin1Char('}');
    return CharacterText(field, byte);
}

std::optional<QString> SetCharacter(const FieldSpec &field, QStringView text,
                                    ParameterImages &images)
{
    std::optional<std::uint8_t> byte;
    if (text.isEmpty()) {
        // Only a field with an empty character can be emptied; the others keep their byte
        // when the box is emptied, which is no value to set.
        if (field.lowestCharacter == 0)
            return Reason(field, text, QStringLiteral("is empty; %1").arg(FieldValueHint(field)));
        byte = 0;
    } else if (text.size() == 1) {
        byte = CharacterByte(field, text.front());
        if (!byte)
            return Reason(field, text, QStringLiteral("is outside the character set"));
        // CharacterByte turns a character the field cannot take into the empty one.
        if (*byte == 0 && text.front().unicode() != 0)
            return Reason(field, text,
                          QStringLiteral("cannot be stored; %1").arg(FieldValueHint(field)));
    } else {
        byte = ControlByName(text);
        if (!byte || *byte < field.lowestCharacter)
            return Reason(field, text,
                          QStringLiteral("is not one character; %1").arg(FieldValueHint(field)));
    }
    images.SetBits(field.byte, 0xFF, *byte);
    return std::nullopt;
}

std::optional<QString> SetNamedCharacter(const FieldSpec &field, QStringView text,
                                         ParameterImages &images)
{
    const int option = FindOption(field, text);
    if (option >= 0) {
        images.SetBits(field.byte, 0xFF, field.options[static_cast<std::size_t>(option)].code);
        return std::nullopt;
    }
    const auto byte = text.size() == 1 ? CharToByte(text.front()) : std::nullopt;
    if (!byte)
        return Reason(field, text, QStringLiteral("is not a value; %1").arg(FieldValueHint(field)));
    images.SetBits(field.byte, 0xFF, *byte);
    return std::nullopt;
}

// A name in braces that names no key would be stored as its characters, and a typing error
// would go unnoticed; such names are refused.
std::optional<QString> UnknownKeyName(const FieldSpec &field, QStringView text)
{
    for (qsizetype open = text.indexOf(QLatin1Char('{')); open >= 0;
         open = text.indexOf(QLatin1Char('{'), open + 1)) {
        const qsizetype close = text.indexOf(QLatin1Char('}'), open);
        if (close < 0)
            break;
        const QStringView group = text.mid(open, close - open + 1);
        if (group.size() < 4 || group.size() > 6)
            continue;
        std::uint8_t slot[1] = {kEmptySlot};
        EncodeKeyText(group, slot, field.functionKeys);
        if (slot[0] == '{')
            return Reason(field, text,
                          QStringLiteral("holds %1, which is no key name of this field")
                              .arg(group.toString()));
    }
    return std::nullopt;
}

std::optional<QString> SetKeyText(const FieldSpec &field, QStringView text, ParameterImages &images)
{
    for (QChar c : text) {
        if (!IsStorableKeyCharacter(c, field.functionKeys))
            return Reason(
                field, text,
                QStringLiteral("holds the character \"%1\", which cannot be stored").arg(c));
    }
    if (auto unknown = UnknownKeyName(field, text))
        return unknown;
    // Encoding into more slots than the field has shows whether the keys fit, instead of
    // dropping the last ones.
    std::vector<std::uint8_t> slots(static_cast<std::size_t>(field.slots + text.size() + 1));
    EncodeKeyText(text, slots, field.functionKeys);
    if (slots[static_cast<std::size_t>(field.slots)] != kEmptySlot)
        return Reason(field, text, QStringLiteral("has more than %1 keys").arg(field.slots));
    for (int i = 0; i < field.slots; ++i)
        images.SetBits(field.byte + i, 0xFF, slots[static_cast<std::size_t>(i)]);
    return std::nullopt;
}

QStringList OptionCaptions(const FieldSpec &field)
{
    QStringList captions;
    for (const auto &option : field.options)
        captions.append(Text(option.caption).trimmed());
    return captions;
}

} // namespace

QString FieldValueText(const FieldSpec &field, const Image &image)
{
    const auto byte = image.at(static_cast<std::size_t>(field.byte));
    switch (field.kind) {
    case FieldKind::Choice:
    case FieldKind::Flag: {
        const int index = OptionIndex(field, image);
        if (index < 0)
            return QStringLiteral("(no option: code %1)").arg(FieldCode(field, image));
        return Text(field.options[static_cast<std::size_t>(index)].caption).trimmed();
    }
    case FieldKind::Number:
        return QString::number(FieldCode(field, image));
    case FieldKind::Character:
        return CharacterValueText(field, byte);
    case FieldKind::KeyText:
        return DecodeKeyText(Slots(field, image), field.functionKeys);
    case FieldKind::NamedCharacter: {
        const int index = OptionIndexForCode(field, byte);
        if (index >= 0)
            return Text(field.options[static_cast<std::size_t>(index)].caption);
        return QString(ByteToChar(byte));
    }
    }
    return {};
}

std::optional<QString> SetFieldFromText(const FieldSpec &field, QStringView text,
                                        ParameterImages &images)
{
    switch (field.kind) {
    case FieldKind::Choice:
    case FieldKind::Flag: {
        const int index = FindOption(field, text);
        if (index < 0)
            return Reason(field, text,
                          QStringLiteral("is not a value; %1").arg(FieldValueHint(field)));
        WriteOption(field, index, images);
        return std::nullopt;
    }
    case FieldKind::Number: {
        bool ok = false;
        const int value = text.trimmed().toInt(&ok);
        if (!ok || value < 0 || value > field.maximum)
            return Reason(field, text,
                          QStringLiteral("is not a value; %1").arg(FieldValueHint(field)));
        images.SetBits(field.byte, field.mask, ShiftedValue(field, value));
        return std::nullopt;
    }
    case FieldKind::Character:
        return SetCharacter(field, text, images);
    case FieldKind::KeyText:
        return SetKeyText(field, text, images);
    case FieldKind::NamedCharacter:
        return SetNamedCharacter(field, text, images);
    }
    return Reason(field, text, QStringLiteral("cannot be set"));
}

QString FieldValueHint(const FieldSpec &field)
{
    switch (field.kind) {
    case FieldKind::Choice:
    case FieldKind::Flag:
        return QStringLiteral("one of: ") + OptionCaptions(field).join(QStringLiteral(", "));
    case FieldKind::Number:
        return QStringLiteral("a number from 0 to %1").arg(field.maximum);
    case FieldKind::Character:
        return field.lowestCharacter > 0
                   ? QStringLiteral("one printable character, or nothing")
                   : QStringLiteral("one character, or a control character's name such as {STX}");
    case FieldKind::KeyText:
        return QStringLiteral("up to %1 characters or keys such as {CR}").arg(field.slots);
    case FieldKind::NamedCharacter:
        return QStringLiteral("one character, or one of: ") +
               OptionCaptions(field).join(QStringLiteral(", "));
    }
    return {};
}

bool FieldDiffers(const FieldSpec &field, const Image &a, const Image &b)
{
    if (field.kind == FieldKind::KeyText)
        return !std::ranges::equal(Slots(field, a), Slots(field, b));
    const auto i = static_cast<std::size_t>(field.byte);
    return (a.at(i) & field.mask) != (b.at(i) & field.mask);
}

int DifferingFieldCount(const Image &a, const Image &b)
{
    const auto catalogue = FieldCatalogue();
    return static_cast<int>(std::ranges::count_if(
        catalogue, [&](const FieldSpec &field) { return FieldDiffers(field, a, b); }));
}

QString DefaultsCountText(int count)
{
    return count == 1 ? QStringLiteral("1 parameter differs from the defaults")
                      : QStringLiteral("%1 parameters differ from the defaults").arg(count);
}

std::uint8_t CoveredBits(int byte)
{
    int bits = 0;
    for (const auto &field : FieldCatalogue()) {
        if (field.kind == FieldKind::KeyText) {
            if (byte >= field.byte && byte < field.byte + field.slots)
                bits = 0xFF;
        } else if (field.byte == byte) {
            bits |= field.mask;
        }
    }
    return static_cast<std::uint8_t>(bits);
}
