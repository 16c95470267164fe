#pragma once

#include "core/fieldcatalogue.h"

// The rows of the common kinds, so that a page's table reads one row a line. A row that needs
// more (a fallback, a selector, a switch) is one of these with those members set.

// An option group: option index <-> stored code, restored by `button`.
constexpr FieldSpec ChoiceRow(const char *page, const char *name, const char *control,
                              const char *caption, int byte, int mask,
                              std::span<const FieldOption> options, const char *button)
{
    return {.name = name,
            .page = page,
            .control = control,
            .caption = caption,
            .byte = byte,
            .mask = mask,
            .kind = FieldKind::Choice,
            .options = options,
            .defaultButton = button};
}

// A check box: the bits under `mask` hold 1 while it is ticked.
constexpr FieldSpec FlagRow(const char *page, const char *name, const char *control,
                            const char *caption, int byte, int mask, const char *button)
{
    FieldSpec row = ChoiceRow(page, name, control, caption, byte, mask, kFlagOptions, button);
    row.kind = FieldKind::Flag;
    return row;
}

// One character in a whole byte.
constexpr FieldSpec CharacterRow(const char *page, const char *name, int byte, const char *control,
                                 const char *caption, const char *button)
{
    FieldSpec row = ChoiceRow(page, name, control, caption, byte, 0xFF, {}, button);
    row.kind = FieldKind::Character;
    return row;
}

// A prefix or suffix of `slots` key slots from `byte` on.
constexpr FieldSpec KeyTextRow(const char *page, const char *name, int byte, const char *control,
                               const char *caption, int slots)
{
    FieldSpec row = ChoiceRow(page, name, control, caption, byte, 0xFF, {}, "");
    row.kind = FieldKind::KeyText;
    row.slots = slots;
    return row;
}
