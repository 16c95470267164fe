#pragma once

#include <QString>

#include <span>
#include <string_view>

// The seven parameter pages as a user meets them: the section menu they are opened from and
// their window caption. The command line tool groups its listing by them.

enum class ConfigSection
{
    Decoder,
    Reader
};

struct PageCaption
{
    const char *page; // object name of the page, "cfg4"
    ConfigSection section;
    const char *title; // window caption, "Communication Parameters"
};

// In the order of the section menus.
std::span<const PageCaption> PageCaptions();
const PageCaption *FindPageCaption(std::string_view page);
// The window caption of a page, "Communication Parameters" for "cfg4".
QString PageTitle(std::string_view page);
// The section menu's caption without its access key: "Bar_Decoder", "Magnic_Reader".
QString SectionCaption(ConfigSection section);
