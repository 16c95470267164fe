#include "shell/shellactions.h"

#include "core/fieldcatalogue.h"
#include "core/pagetable.h"

#include <QAction>
#include <QIcon>
#include <QMainWindow>
#include <QMenuBar>
#include <QToolBar>

#include <algorithm>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

namespace {

// Where a menu takes the items of the page table: the parameter pages' or the dialogs'.
enum class PageItems
{
    None,
    ParameterPages,
    Dialogs
};

struct MenuItem
{
    const char *name; // nullptr: a separator, or the page table's items
    const char *caption = nullptr;
    QKeyCombination shortcut = {};
    QKeyCombination alternate = {};
    PageItems pages = PageItems::None;
};

// The page table's items for this menu, in the table's order.
constexpr MenuItem PagesHere(PageItems pages)
{
    return {.name = nullptr, .pages = pages};
}
constexpr MenuItem kSeparator = {nullptr};

struct Menu
{
    const char *name;
    const char *caption;
    std::span<const MenuItem> items;
};

constexpr MenuItem kFileItems[] = {
    {"mnuFileNew", "&New", Qt::CTRL | Qt::Key_N},
    {"mnuFileOpen", "&Open...", Qt::CTRL | Qt::Key_O},
    {"mnuFileSave", "&Save", Qt::CTRL | Qt::Key_S},
    {"mnuFileSaveAs", "Save &As...", Qt::CTRL | Qt::Key_A},
    {"mnuFileDefault", "Save As &Default"},
    kSeparator,
    {"mnuFileCompare", "Compare With &File..."},
    {"mnuFileCompareDevice", "Compare With &Device..."},
    kSeparator,
    {"mnuFilePrintReport", "&Print Report...", Qt::CTRL | Qt::Key_P},
    {"mnuFileExportReport", "E&xport Report..."},
    kSeparator,
    // The recent files come here (RecentFilesMenu).
    {"mnuFileExit", "E&xit", Qt::CTRL | Qt::Key_X},
};
constexpr MenuItem kEditItems[] = {
    {"mnuEditUndo", "&Undo", Qt::CTRL | Qt::Key_Z},
    {"mnuEditRedo", "&Redo", Qt::CTRL | Qt::SHIFT | Qt::Key_Z, Qt::CTRL | Qt::Key_Y},
    kSeparator,
    {"mnuEditFind", "&Find Parameter...", Qt::CTRL | Qt::Key_F},
};
// The page items of the bar decoder carry function keys (in the page table); F1 stays free
// for help.
constexpr MenuItem kDecoderItems[] = {
    PagesHere(PageItems::ParameterPages),
    kSeparator,
    {"mnuConfigDefault", "&Set All Default"},
    kSeparator,
    PagesHere(PageItems::Dialogs),
};
constexpr MenuItem kReaderItems[] = {
    PagesHere(PageItems::ParameterPages), // without function keys
    kSeparator,
    {"mnuMagDefault", "&Set All Default"},
    kSeparator,
    PagesHere(PageItems::Dialogs),
};
constexpr MenuItem kToolsItems[] = {
    PagesHere(PageItems::Dialogs),
    kSeparator,
    {"mnuToolsPorts", "&Port Mapping..."},
    {"mnuToolsFind", "&Find Device..."},
    // What the device sends when scanning, checked against the configuration.
    {"mnuToolsScan", "&Test Scan..."},
};
constexpr MenuItem kHelpItems[] = {
    {"mnuHelpContents", "&Contents"},
    {"mnuHelpAbout", "&About"},
};

constexpr Menu kMenus[] = {
    {"mnuFile", "&File", kFileItems},
    {"mnuEdit", "&Edit", kEditItems},
    {"mnuConfig", "&Bar_Decoder", kDecoderItems},
    {"mnuMag", "&Magnic_Reader", kReaderItems},
    {"mnuTools", "&Tools", kToolsItems},
    {"mnuHelp", "&Help", kHelpItems},
};

struct ToolButton
{
    const char *key; // nullptr: separator
    const char *toolTip;
};

constexpr ToolButton kToolButtons[] = {
    {"new", "New File"},
    {"open", "Open File"},
    {"save", "Save File"},
    {nullptr, nullptr},
    {"irm", "Interface and Reading Mode"},
    {"com", "Communication Parameters"},
    {"bar", "Bar Codes and Others"},
    {"mis", "Miscellaneous Parameters"},
    {"transmit", "Transmit"},
    {nullptr, nullptr},
    {"mag", "Magnet Reader"},
};

constexpr bool IsPageSlot(const MenuItem &item)
{
    return !item.name && item.pages != PageItems::None;
}

constexpr const Menu *FindMenu(std::string_view name)
{
    const auto *menu =
        std::ranges::find_if(kMenus, [name](const Menu &m) { return name == m.name; });
    return menu == std::end(kMenus) ? nullptr : menu;
}

constexpr bool IsMenuItem(std::string_view name)
{
    return std::ranges::any_of(kMenus, [name](const Menu &menu) {
        return std::ranges::any_of(
            menu.items, [name](const MenuItem &item) { return item.name && item.name == name; });
    });
}

constexpr bool IsToolButton(std::string_view key)
{
    return std::ranges::any_of(
        kToolButtons, [key](const ToolButton &button) { return button.key && button.key == key; });
}

// Every action the page table names is made here, so none is missing when the window connects
// and checks them: each page item names a menu with a place for page items and a name of its
// own, and the "Set All Default" items and tool bar buttons it names exist. (Names and values
// only: a sanitizer build does not take addresses as constants.)
constexpr bool PageTableActionsExist()
{
    for (const PageInfo &page : kPageTable) {
        for (const PageMenuItem &item : page.menuItems) {
            if (std::string_view(item.name).empty())
                continue;
            const Menu *menu = FindMenu(item.menu);
            if (!menu || !std::ranges::any_of(menu->items, IsPageSlot) || IsMenuItem(item.name))
                return false;
        }
        if (*page.disabledDefaultMenu && !IsMenuItem(page.disabledDefaultMenu))
            return false;
        if (*page.toolButton && !IsToolButton(page.toolButton))
            return false;
    }
    return true;
}
static_assert(PageTableActionsExist(),
              "every menu item, Set All Default and tool bar button of the page table is made");

// Where a page's item goes in its menu: the place for its kind, else the menu's one place for
// page items.
const MenuItem *SlotFor(const Menu &menu, const PageInfo &page)
{
    const PageItems kind = IsParameterPage(page) ? PageItems::ParameterPages : PageItems::Dialogs;
    const MenuItem *first = nullptr;
    for (const MenuItem &item : menu.items) {
        if (!IsPageSlot(item))
            continue;
        if (item.pages == kind)
            return &item;
        if (!first)
            first = &item;
    }
    return first;
}

// The page table's items that go where `slot` stands in `menu`, in the table's order.
std::vector<std::pair<const PageInfo *, const PageMenuItem *>> PageItemsAt(const Menu &menu,
                                                                           const MenuItem &slot)
{
    std::vector<std::pair<const PageInfo *, const PageMenuItem *>> items;
    for (const PageInfo &page : kPageTable) {
        for (const PageMenuItem &item : page.menuItems) {
            if (menu.name == std::string_view(item.menu) && SlotFor(menu, page) == &slot)
                items.emplace_back(&page, &item);
        }
    }
    return items;
}

} // namespace

ShellActions::ShellActions(QMainWindow *window) : QObject(window)
{
    BuildMenus(window);
    BuildToolBar(window);
}

QAction *ShellActions::Action(QStringView name) const
{
    return m_actions.value(name.toString(), nullptr);
}

QAction *ShellActions::AddItem(QMenu *menu, const char *name, const QString &caption,
                               std::initializer_list<QKeyCombination> keys)
{
    auto *item = menu->addAction(caption);
    item->setObjectName(Text(name));
    QList<QKeySequence> shortcuts;
    for (QKeyCombination key : keys) {
        if (key != QKeyCombination())
            shortcuts.append(QKeySequence(key));
    }
    item->setShortcuts(shortcuts);
    m_actions.insert(item->objectName(), item);
    return item;
}

void ShellActions::BuildMenus(QMainWindow *window)
{
    for (const Menu &menu : kMenus) {
        QMenu *drop = window->menuBar()->addMenu(Text(menu.caption));
        drop->setObjectName(Text(menu.name));
        for (const MenuItem &item : menu.items) {
            if (IsPageSlot(item)) {
                for (const auto &[page, pageItem] : PageItemsAt(menu, item)) {
                    QAction *added = AddItem(drop, pageItem->name, Text(pageItem->caption),
                                             {pageItem->shortcut});
                    // It carries a check mark while its page is open.
                    added->setCheckable(page->checkMark);
                }
            } else if (!item.name) {
                drop->addSeparator();
            } else {
                AddItem(drop, item.name, Text(item.caption), {item.shortcut, item.alternate});
            }
        }
    }
}

void ShellActions::BuildToolBar(QMainWindow *window)
{
    m_toolBar = window->addToolBar(QStringLiteral("Toolbar1"));
    m_toolBar->setObjectName(QStringLiteral("Toolbar1"));
    m_toolBar->setMovable(false);
    for (const ToolButton &button : kToolButtons) {
        if (!button.key) {
            m_toolBar->addSeparator();
            continue;
        }
        const QString key = Text(button.key);
        QAction *added = m_toolBar->addAction(QIcon(QStringLiteral(":/icons/%1.svg").arg(key)),
                                              Text(button.toolTip));
        added->setObjectName(key);
        added->setToolTip(Text(button.toolTip));
        m_actions.insert(key, added);
    }
    // The section switch stays down while the tool bar addresses the magnetic reader.
    m_actions.value(QStringLiteral("mag"))->setCheckable(true);
}
