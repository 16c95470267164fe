#include "core/pagecaptions.h"

namespace {

constexpr PageCaption kPages[] = {
    {"cfg3", ConfigSection::Decoder, "Interface"},
    {"cfg4", ConfigSection::Decoder, "Communication Parameters"},
    {"cfg5", ConfigSection::Decoder, "Bar Codes and Others"},
    {"cfg6", ConfigSection::Decoder, "Miscellaneous Parameters"},
    {"magcfg3", ConfigSection::Reader, "Interface"},
    {"magcfg4", ConfigSection::Reader, "Communication Parameters"},
    {"magcfg6", ConfigSection::Reader, "Miscellaneous Parameters"},
};

} // namespace

std::span<const PageCaption> PageCaptions()
{
    return kPages;
}

const PageCaption *FindPageCaption(std::string_view page)
{
    for (const auto &caption : kPages) {
        if (page == caption.page)
            return &caption;
    }
    return nullptr;
}

QString SectionCaption(ConfigSection section)
{
    return section == ConfigSection::Decoder ? QStringLiteral("Bar_Decoder")
                                             : QStringLiteral("Magnic_Reader");
}

QString PageTitle(std::string_view page)
{
    const PageCaption *caption = FindPageCaption(page);
    return caption ? QString::fromLatin1(caption->title) : QString();
}
