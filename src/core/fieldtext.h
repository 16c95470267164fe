#pragma once

#include "core/fieldcatalogue.h"

#include <QString>
#include <QStringView>

#include <optional>

// A field's value as text and back, for every kind of field, with the captions the pages
// show: the option's caption ("German", "CR+LF"), the number, the character, the key text
// ("{STX}AB"). Whatever a text stores, the page shows again as that text.
//
// Characters without a printable form (control characters in a one-character field) are
// written as their key names in braces, "{STX}", and read back from them.

QString FieldValueText(const FieldSpec &field, const Image &image);

// Stores the value a text names into the working image through the same writes the pages
// use. Option captions are matched without regard to case or surrounding blanks. Returns why
// the text names no value of the field; the image is untouched then.
std::optional<QString> SetFieldFromText(const FieldSpec &field, QStringView text,
                                        ParameterImages &images);

// What a field accepts, for messages: "one of: None, Odd, Even".
QString FieldValueHint(const FieldSpec &field);

// Whether two images hold different values of the field.
bool FieldDiffers(const FieldSpec &field, const Image &a, const Image &b);
// How many fields of the catalogue hold different values in the two images.
int DifferingFieldCount(const Image &a, const Image &b);
// How the status bar and the configuration report say that count: "1 parameter differs from
// the defaults", "3 parameters differ from the defaults".
QString DefaultsCountText(int count);

// The bits of a byte that some field of the catalogue stores; the others are kept as they
// are by every page.
std::uint8_t CoveredBits(int byte);
