#pragma once

#include "core/parameterimages.h"

#include <QByteArrayView>
#include <QString>

#include <cstdint>
#include <optional>

// The PC's keyboard layout, and the keyboard language of the device that types the same
// characters through it. A device set to another language than the PC's layout types other
// characters than the bar code holds (a German layout turns "Y" into "Z").
struct KeyboardLayout
{
    QString name; // as a user knows it: "German (de)"
    // The device's language code (the options of "Language Selection") that matches the
    // layout; nothing when none of them does.
    std::optional<int> language;
};

// Where the PC's current keyboard layout is learnt: the window system on a desktop, a fixed
// layout in tests. Nothing when it cannot be learnt; then nothing is asked or shown.
class KeyboardLayoutSource
{
public:
    virtual ~KeyboardLayoutSource() = default;
    virtual std::optional<KeyboardLayout> Current() const = 0;
};

// An XKB layout by its name and variant ("de", "nodeadkeys"): "German (de, nodeadkeys)".
std::optional<KeyboardLayout> XkbLayout(const QString &layout, const QString &variant = {});
// The first layout of what `setxkbmap -query` prints ("layout:     de,us").
std::optional<KeyboardLayout> XkbLayoutFromQuery(QByteArrayView output);
// The first layout of a Debian keyboard settings file, /etc/default/keyboard
// (XKBLAYOUT="de,us").
std::optional<KeyboardLayout> XkbLayoutFromSettings(QByteArrayView contents);
// The device language a Windows keyboard layout types, by the layout's language identifier
// (the low word of its KLID, 0x0407 for German).
std::optional<int> WindowsLayoutLanguage(std::uint16_t languageId);

// Asked before a download when a section that types through the keyboard (any interface but
// RS232) is set to another language than the PC's layout: "The device will type as US
// English, but this PC's keyboard layout is German (de). Download anyway?". Nothing when the
// layout or its language is unknown, or every such section matches it.
std::optional<QString> LayoutQuestion(const Image &image, const std::optional<KeyboardLayout> &pc);

// Shown beside the language options: "This PC: German (de)".
QString LayoutNote(const KeyboardLayout &pc);
