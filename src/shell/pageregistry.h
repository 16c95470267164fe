#pragma once

#include "pages/pagecontext.h"

#include <span>

class QWidget;

using PageFactory = QWidget *(*)(PageContext &context, QWidget *parent);

enum class PageSection
{
    Decoder,
    Reader,
    Both
};

// One row per page or dialog the main window opens, by its PageType number.
struct PageInfo
{
    int type;
    const char *window; // object name: "cfg3", "frmTransmit"...
    PageSection section;
    const char *checkedMenu;         // menu item with a check mark while open, or ""
    const char *disabledDefaultMenu; // "&Set All Default" item disabled while open, or ""
    PageFactory create;              // nullptr while the page is not built yet
    bool maximized = false;          // shown filling the main window
};

std::span<const PageInfo> PageTable();
const PageInfo *FindPage(int type);
