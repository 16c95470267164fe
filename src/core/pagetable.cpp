#include "core/pagetable.h"

#include <algorithm>

namespace {

constexpr bool ParameterPagesComeFirst()
{
    return std::ranges::none_of(std::span(kPageTable).subspan(ParameterPages().size()),
                                IsParameterPage);
}
static_assert(ParameterPagesComeFirst(), "the parameter pages lead the page table");

// Each number names one row, and the section switch leads back to where it came from.
constexpr bool NumbersAndCounterpartsAgree()
{
    for (const PageInfo &page : kPageTable) {
        if (page.type == kNoPage || FindPage(page.type) != &page)
            return false;
        const PageInfo *counterpart = FindPage(page.counterpart);
        if (page.counterpart != kNoPage && (!counterpart || counterpart->counterpart != page.type))
            return false;
    }
    return true;
}
static_assert(NumbersAndCounterpartsAgree(), "page numbers are unique, counterparts mutual");

} // namespace

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

QString PageTitle(std::string_view window)
{
    const PageInfo *page = FindPageByWindow(window);
    return page ? QString::fromLatin1(page->title) : QString();
}

QString SectionCaption(Section section)
{
    return section == Section::Decoder ? QStringLiteral("Bar_Decoder")
                                       : QStringLiteral("Magnic_Reader");
}
