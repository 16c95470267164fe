#pragma once

#include "core/catalogue/pages.h"
#include "core/fieldcatalogue.h"
#include "core/parameterimages.h"

#include <QKeyCombination>
#include <QString>

#include <array>
#include <optional>
#include <span>
#include <string_view>

// Every page and dialog the main window opens, one row each: what the shell, the command line
// tool and the tests know about it, its menu items included. The widgets themselves are made
// by the shell's factory table, which has one line per row here. Adding a page is adding a
// row here, a factory line and the page's class.

// The numbers AppState::PageType holds: the page or dialog now open, kNoPage for none.
inline constexpr int kNoPage = 0;
inline constexpr int kDecoderInterfacePage = 1; // cfg3
inline constexpr int kDecoderCommPage = 2;      // cfg4
inline constexpr int kBarCodesPage = 3;         // cfg5
inline constexpr int kDecoderMiscPage = 4;      // cfg6
inline constexpr int kTransmitDialog = 5;       // frmTransmit
inline constexpr int kReaderCommPage = 6;       // magcfg4
inline constexpr int kReaderMiscPage = 7;       // magcfg6
inline constexpr int kReaderInterfacePage = 8;  // magcfg3
inline constexpr int kMemoryDialog = 9;         // frmReadMemory

// A menu item that opens a page or dialog. The shell puts it into its menu where that menu
// takes the parameter pages' items, or the dialogs' items, in the order of the table.
struct PageMenuItem
{
    const char *menu = "";    // the menu's object name, "mnuConfig"; "" for no item
    const char *name = "";    // the item's object name, "mnuConfigComm"
    const char *caption = ""; // "&Communication"
    QKeyCombination shortcut = {};
};

struct PageInfo
{
    int type;           // its PageType number
    const char *window; // object name, "cfg4"
    const char *title;  // window caption, "Communication Parameters"
    // The section it belongs to; none for the transmit dialog, which serves both.
    std::optional<Section> section;
    // The menu items that open it, at least one (an unused place has no menu), and whether
    // they carry a check mark while it is open.
    std::array<PageMenuItem, 2> menuItems = {};
    bool checkMark = false;
    const char *disabledDefaultMenu = ""; // "&Set All Default" item disabled while open
    // The tool bar button that opens it while the tool bar addresses its section (any section
    // for a page without one), or "".
    const char *toolButton = "";
    int counterpart = kNoPage; // what the section switch "mag" opens in its place
    bool maximized = false;    // shown filling the main window
    // File New and Open leave it open: it shows nothing of the configuration.
    bool outlivesNewFile = false;
    // A parameter page's catalogue rows; nullptr for the dialogs.
    std::span<const FieldSpec> (*fields)() = nullptr;
};

// The parameter pages first, in the order of the section menus, then the dialogs.
inline constexpr PageInfo kPageTable[] = {
    {.type = kDecoderInterfacePage,
     .window = "cfg3",
     .title = "Interface",
     .section = Section::Decoder,
     .menuItems = {{{.menu = "mnuConfig",
                     .name = "mnuConfigInterface",
                     .caption = "&Interface",
                     .shortcut = Qt::Key_F5}}},
     .checkMark = true,
     .disabledDefaultMenu = "mnuConfigDefault",
     .toolButton = "irm",
     .counterpart = kReaderInterfacePage,
     .fields = DecoderInterfaceFields},
    {.type = kDecoderCommPage,
     .window = "cfg4",
     .title = "Communication Parameters",
     .section = Section::Decoder,
     .menuItems = {{{.menu = "mnuConfig",
                     .name = "mnuConfigComm",
                     .caption = "&Communication",
                     .shortcut = Qt::Key_F6}}},
     .checkMark = true,
     .disabledDefaultMenu = "mnuConfigDefault",
     .toolButton = "com",
     .counterpart = kReaderCommPage,
     .fields = DecoderCommunicationFields},
    {.type = kBarCodesPage,
     .window = "cfg5",
     .title = "Bar Codes and Others",
     .section = Section::Decoder,
     .menuItems = {{{.menu = "mnuConfig",
                     .name = "mnuConfigBar",
                     .caption = "&Bar Codes and Others",
                     .shortcut = Qt::Key_F7}}},
     .checkMark = true,
     .disabledDefaultMenu = "mnuConfigDefault",
     .toolButton = "bar",
     .fields = BarCodeFields},
    {.type = kDecoderMiscPage,
     .window = "cfg6",
     .title = "Miscellaneous Parameters",
     .section = Section::Decoder,
     .menuItems = {{{.menu = "mnuConfig",
                     .name = "mnuConfigMisc",
                     .caption = "&Miscellaneous",
                     .shortcut = Qt::Key_F8}}},
     .checkMark = true,
     .disabledDefaultMenu = "mnuConfigDefault",
     .toolButton = "mis",
     .counterpart = kReaderMiscPage,
     .fields = DecoderMiscFields},
    {.type = kReaderInterfacePage,
     .window = "magcfg3",
     .title = "Interface",
     .section = Section::Reader,
     .menuItems = {{{.menu = "mnuMag", .name = "mnuMagInterface", .caption = "&Interface"}}},
     .checkMark = true,
     .disabledDefaultMenu = "mnuMagDefault",
     .toolButton = "irm",
     .counterpart = kDecoderInterfacePage,
     .fields = ReaderInterfaceFields},
    {.type = kReaderCommPage,
     .window = "magcfg4",
     .title = "Communication Parameters",
     .section = Section::Reader,
     .menuItems = {{{.menu = "mnuMag", .name = "mnuMagComm", .caption = "&Communication"}}},
     .checkMark = true,
     .disabledDefaultMenu = "mnuMagDefault",
     .toolButton = "com",
     .counterpart = kDecoderCommPage,
     .fields = ReaderCommunicationFields},
    {.type = kReaderMiscPage,
     .window = "magcfg6",
     .title = "Miscellaneous Parameters",
     .section = Section::Reader,
     .menuItems = {{{.menu = "mnuMag", .name = "mnuMagMisc", .caption = "&Miscellaneous"}}},
     .checkMark = true,
     .disabledDefaultMenu = "mnuMagDefault",
     .toolButton = "mis",
     .counterpart = kDecoderMiscPage,
     .fields = ReaderMiscFields},
    {.type = kTransmitDialog,
     .window = "frmTransmit",
     .title = "Transmit",
     .section = std::nullopt,
     .menuItems = {{{.menu = "mnuConfig", .name = "mnuConfigTransmit", .caption = "Transmit"},
                    {.menu = "mnuMag", .name = "mnuMagTransmit", .caption = "Transmit"}}},
     .disabledDefaultMenu = "mnuConfigDefault",
     .toolButton = "transmit",
     .counterpart = kTransmitDialog,
     .maximized = true},
    {.type = kMemoryDialog,
     .window = "frmReadMemory",
     .title = "Read Decoder Memory",
     .section = Section::Decoder,
     .menuItems =
         {{{.menu = "mnuTools", .name = "mnuToolsRDM", .caption = "&Read Decoder Memory"}}},
     .maximized = true,
     .outlivesNewFile = true},
};

inline bool IsParameterPage(const PageInfo &page)
{
    return page.fields != nullptr;
}

// The row of a PageType number; nullptr for kNoPage and numbers the table does not know.
const PageInfo *FindPage(int type);
// The row of a page or dialog of the table, for the window that is it (a number the table
// does not know stops the program: the window and the table disagree).
const PageInfo &PageInTable(int type);
// The seven parameter pages, in the order of the section menus.
std::span<const PageInfo> ParameterPages();
const PageInfo *FindPageByWindow(std::string_view window);
// The page a tool bar page button opens while the tool bar addresses `section`; nullptr
// when it opens none there ("bar" in the reader section).
const PageInfo *ToolButtonPage(std::string_view key, Section section);
// The section menu's caption without its access key: "Bar_Decoder", "Magnic_Reader".
QString SectionCaption(Section section);
// How a page is named wherever pages are listed (Find Parameter, the Compare windows,
// k30cfg-cli show): its section and caption, "Magnic_Reader / Communication Parameters"; a
// dialog that serves both sections by its caption alone.
QString PageHeading(const PageInfo &page);
