#include "core/fieldcatalogue.h"

#include "core/charset.h"
#include "core/pagetable.h"

int FieldCode(const FieldSpec &field, const Image &image)
{
    return (image.at(static_cast<std::size_t>(field.byte)) & field.mask) / LowestBit(field.mask);
}

int ShiftedValue(const FieldSpec &field, int code)
{
    return (code * LowestBit(field.mask)) & field.mask;
}

int OptionIndexForCode(const FieldSpec &field, int code)
{
    for (std::size_t i = 0; i < field.options.size(); ++i) {
        if (field.options[i].code == code)
            return static_cast<int>(i);
    }
    return field.fallbackIndex;
}

int OptionIndex(const FieldSpec &field, const Image &image)
{
    return OptionIndexForCode(field, FieldCode(field, image));
}

void WriteOption(const FieldSpec &field, int index, ParameterImages &images)
{
    const auto &option = field.options[static_cast<std::size_t>(index)];
    images.SetBits(field.byte, field.mask, ShiftedValue(field, option.code));
}

QString CharacterText(const FieldSpec &field, std::uint8_t byte)
{
    if (byte == 0 && field.lowestCharacter > 0)
        return {};
    return QString(ByteToChar(byte));
}

std::optional<std::uint8_t> CharacterByte(const FieldSpec &field, QChar c)
{
    const auto byte = CharToByte(c);
    if (byte && *byte < field.lowestCharacter)
        return std::uint8_t{0};
    return byte;
}

std::span<const FieldSpec> FieldCatalogue()
{
    static const std::vector<FieldSpec> all = [] {
        std::vector<FieldSpec> rows;
        for (const PageInfo &page : ParameterPages()) {
            const auto fields = page.fields();
            rows.insert(rows.end(), fields.begin(), fields.end());
        }
        return rows;
    }();
    return all;
}

const FieldSpec *FindField(std::string_view name)
{
    for (const auto &field : FieldCatalogue()) {
        if (name == field.name)
            return &field;
    }
    return nullptr;
}

const FieldSpec *FindControl(std::string_view page, std::string_view control)
{
    for (const auto &field : FieldCatalogue()) {
        if (page == field.page && control == field.control)
            return &field;
    }
    return nullptr;
}

std::vector<const FieldSpec *> FieldsOfPage(std::string_view page)
{
    std::vector<const FieldSpec *> rows;
    for (const auto &field : FieldCatalogue()) {
        if (page == field.page)
            rows.push_back(&field);
    }
    return rows;
}

std::vector<const FieldSpec *> FieldsRestoredBy(std::string_view page,
                                                std::string_view defaultButton)
{
    std::vector<const FieldSpec *> rows;
    for (const auto &field : FieldCatalogue()) {
        if (page == field.page && defaultButton == field.defaultButton)
            rows.push_back(&field);
    }
    return rows;
}
