#pragma once

#include "core/appstate.h"

class KeyboardPort;

// What a page or dialog is given when the main window opens it: the shared state it edits
// and, for the link dialogs, the keyboard-port transport set up at start-up.
struct PageContext
{
    AppState &state;
    KeyboardPort *keyboard = nullptr;
};
