#pragma once

#include "core/appstate.h"

class KeyboardLayoutSource;
class KeyboardPort;

// What a page or dialog is given when the main window opens it: the shared state it edits
// and, for the link dialogs, the keyboard-port transport set up at start-up; the PC's
// keyboard layout for the language checks (none: nothing is checked).
struct PageContext
{
    AppState &state;
    KeyboardPort *keyboard = nullptr;
    const KeyboardLayoutSource *keyboardLayout = nullptr;
};
