#pragma once

#include "core/appstate.h"
#include "core/configdocument.h"

class PageManager;

// Opens the page or dialog that shows a listed parameter (the section follows the page),
// brings the tab that holds its control to the front and gives the control the focus. The
// header texts are shown on the interface page of the section the tool bar addresses, the
// port and link mode in "Transmit". False for what no window shows (bits of the image that
// no page edits) or when the open window would not close.
bool ShowEntryControl(PageManager &pages, const AppState &state, const ConfigEntry &entry);
// Whether some page or dialog shows the entry: bits of the image that no page edits are listed
// by a comparison but are shown nowhere.
bool IsShownOnAPage(const AppState &state, const ConfigEntry &entry);
