#pragma once

#include "core/keyboardlayout.h"

#include <optional>

// The keyboard layout the desktop uses. On X11 the first layout of XKB's settings as
// `setxkbmap -query` prints them, else the system's keyboard settings (/etc/default/keyboard);
// on Windows the keyboard layout of the window thread. Anything else (Wayland, the offscreen
// platform, a missing tool) is unknown. Learnt once, when first asked.
class SystemKeyboardLayout : public KeyboardLayoutSource
{
public:
    std::optional<KeyboardLayout> Current() const override;

private:
    mutable bool m_asked = false;
    mutable std::optional<KeyboardLayout> m_layout;
};
