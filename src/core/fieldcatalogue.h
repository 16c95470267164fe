#pragma once

#include "core/parameterimages.h"

#include <QString>

#include <optional>
#include <span>
#include <string_view>
#include <vector>

// Every parameter the pages edit, described once. The pages build and bind their controls
// from these rows, "Set Default" restores them, and the command line tool shows and sets
// them by name. Adding a field to a page is adding a row to its table in catalogue/.

enum class FieldKind
{
    Choice,    // an option group: option index <-> stored code
    Flag,      // a check box: options[0] is stored when cleared, options[1] when ticked
    Number,    // a small number shown in a combo box (truncation counts)
    Character, // one character in a whole byte, 0 for none
    KeyText,   // a prefix or suffix run of key slots, 255 for an empty slot
    // A whole byte shown in an editable combo box: codes that an option stands for are
    // picked by name, any other code is shown and typed as the character itself.
    NamedCharacter,
};

struct FieldOption
{
    const char *caption;
    int code; // the field value stored under the mask, before shifting
};

inline constexpr FieldOption kFlagOptions[] = {{"Off", 0}, {"On", 1}};

struct FieldSpec
{
    const char *name;    // command line name, "decoder.comm.parity"
    const char *page;    // object name of the page that edits it, "cfg4"
    const char *control; // object name of the control (or control array), "optCfg41D"
    const char *caption; // frame or box caption, "Parity"
    int byte = 0;
    int mask = 0xFF;
    FieldKind kind = FieldKind::Choice;
    std::span<const FieldOption> options = {};
    // Option shown for a stored code that no option stands for; -1 selects none.
    int fallbackIndex = -1;
    // The "Set Default" button that restores this field.
    const char *defaultButton = "";
    // KeyText: number of slots, and whether function keys are known (reader only).
    int slots = 0;
    bool functionKeys = false;
    // Number: largest value.
    int maximum = 255;
    // Choice: the control array is indexed by code rather than by option position (its
    // indexes have gaps), so the option buttons are named "<control>_<code>".
    bool buttonsNamedByCode = false;
    // The control of another field of the same page that switches this one off while it
    // holds `disabledByCode`: the page disables this field's controls meanwhile.
    const char *disabledBy = "";
    int disabledByCode = -1;
    // Character: codes below this are stored as 0, the empty character (code IDs take no
    // control characters); and whether emptying the box leaves the byte as it was instead
    // of storing 0.
    int lowestCharacter = 0;
    bool emptyKeepsByte = false;
    // KeyText fields that share one box: the option group that chooses which of them the
    // box shows, and the option that shows this one.
    const char *selector = "";
    int selectorIndex = -1;
};

// The lowest set bit of a mask: the factor a field value is shifted by.
constexpr int LowestBit(int mask)
{
    return mask & -mask;
}

// The field value under the mask, shifted down (0..mask/LowestBit).
int FieldCode(const FieldSpec &field, const Image &image);
// The byte value (already shifted into the mask) that stores a field value.
int ShiftedValue(const FieldSpec &field, int code);
// The option index that shows a stored code, the fallback when none stands for it.
int OptionIndexForCode(const FieldSpec &field, int code);
// The option index a field shows for the given image (Choice and Flag only).
int OptionIndex(const FieldSpec &field, const Image &image);
// Writes option index `index` of a Choice or Flag field into the working image.
void WriteOption(const FieldSpec &field, int index, ParameterImages &images);
// Character: the text a box shows for a stored byte (nothing for the empty character of a
// field that has one).
QString CharacterText(const FieldSpec &field, std::uint8_t byte);
// Character: the byte that stores a character, nothing when it is outside the character set.
std::optional<std::uint8_t> CharacterByte(const FieldSpec &field, QChar c);

std::span<const FieldSpec> FieldCatalogue();
const FieldSpec *FindField(std::string_view name);
const FieldSpec *FindControl(std::string_view page, std::string_view control);
std::vector<const FieldSpec *> FieldsOfPage(std::string_view page);
std::vector<const FieldSpec *> FieldsRestoredBy(std::string_view page,
                                                std::string_view defaultButton);

inline QString Text(const char *latin1)
{
    return QString::fromLatin1(latin1);
}
