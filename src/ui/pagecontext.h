#pragma once

#include "core/appstate.h"

class KeyboardLayoutSource;
class KeyboardPort;
class PortMapping;

// What a page or dialog is given when the main window opens it: the shared state it edits
// and, for the link dialogs, the keyboard-port transport set up at start-up and the port
// mapping (which device each "Com n" reaches; without it, the environment or the standard
// device); the PC's keyboard layout for the language checks (none: nothing is checked).
struct PageContext
{
    AppState &state;
    KeyboardPort *keyboard = nullptr;
    PortMapping *ports = nullptr;
    const KeyboardLayoutSource *keyboardLayout = nullptr;
};
