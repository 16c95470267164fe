#include "core/pagetable.h"

#include <algorithm>

namespace {

constexpr int CountOf(int type)
{
    return static_cast<int>(std::ranges::count(kPageTable, type, &PageInfo::type));
}

constexpr int CounterpartOf(int type)
{
    const auto *page = std::ranges::find(kPageTable, type, &PageInfo::type);
    return page == std::end(kPageTable) ? kNoPage : page->counterpart;
}

// Each number names one row, and the section switch leads back to where it came from.
// (Indexes and numbers only: a sanitizer build does not take addresses as constants.)
constexpr bool NumbersAndCounterpartsAgree()
{
    for (const PageInfo &page : kPageTable) {
        if (page.type == kNoPage || CountOf(page.type) != 1)
            return false;
        if (page.counterpart != kNoPage &&
            (CountOf(page.counterpart) != 1 || CounterpartOf(page.counterpart) != page.type))
            return false;
    }
    return true;
}
static_assert(NumbersAndCounterpartsAgree(), "page numbers are unique, counterparts mutual");

// Every page and dialog can be opened from a menu: its first item is given, and an item names
// both its menu and itself or neither.
constexpr bool EveryPageHasAMenuItem()
{
    for (const PageInfo &page : kPageTable) {
        if (std::string_view(page.menuItems[0].name).empty())
            return false;
        for (const PageMenuItem &item : page.menuItems) {
            if (std::string_view(item.menu).empty() != std::string_view(item.name).empty())
                return false;
        }
    }
    return true;
}
static_assert(EveryPageHasAMenuItem(), "every page has a menu item, in a named menu");

} // namespace

const PageInfo *FindPage(int type)
{
    for (const PageInfo &page : kPageTable) {
        if (page.type == type)
            return &page;
    }
    return nullptr;
}

const PageInfo &PageInTable(int type)
{
    const PageInfo *page = FindPage(type);
    if (!page)
        qFatal("the page table has no row %d", type);
    return *page;
}

std::span<const PageInfo> ParameterPages()
{
    // The parameter pages lead the table; a test checks that no other row has fields.
    static const std::size_t count = static_cast<std::size_t>(
        std::ranges::find_if_not(kPageTable, IsParameterPage) - std::begin(kPageTable));
    return std::span(kPageTable).first(count);
}

const PageInfo *FindPageByWindow(std::string_view window)
{
    for (const PageInfo &page : kPageTable) {
        if (window == page.window)
            return &page;
    }
    return nullptr;
}

const PageInfo *ToolButtonPage(std::string_view key, Section section)
{
    for (const PageInfo &page : kPageTable) {
        if (key == page.toolButton && page.section.value_or(section) == section)
            return &page;
    }
    return nullptr;
}

QString SectionCaption(Section section)
{
    return section == Section::Decoder ? QStringLiteral("Bar_Decoder")
                                       : QStringLiteral("Magnic_Reader");
}

QString PageHeading(const PageInfo &page)
{
    if (!page.section)
        return Text(page.title);
    return SectionCaption(*page.section) + QStringLiteral(" / ") + Text(page.title);
}
