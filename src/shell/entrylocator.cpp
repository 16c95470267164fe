#include "shell/entrylocator.h"

#include "core/pagetable.h"
#include "shell/pagemanager.h"

namespace {

struct Place
{
    int page = kNoPage;
    QString control; // a widget's or an option group's object name
};

struct NamedPlace
{
    const char *entry;
    const char *control;
};

// The parameters a configuration holds beside the image, by their listing names.
constexpr NamedPlace kHeaderPlaces[] = {
    {"header.device-name", "txtDeviceName"},
    {"header.user-name", "txtUserName"},
    {"header.building-date", "txtDate"},
    {"header.description", "txtDescription"},
};
constexpr NamedPlace kLinkPlaces[] = {{"link.mode", "OptMode"}, {"link.port", "OptPort"}};

Place PlaceOf(const AppState &state, const ConfigEntry &entry)
{
    for (const NamedPlace &place : kHeaderPlaces) {
        if (entry.name == QLatin1String(place.entry))
            return {state.MagFlag ? kReaderInterfacePage : kDecoderInterfacePage,
                    Text(place.control)};
    }
    for (const NamedPlace &place : kLinkPlaces) {
        if (entry.name == QLatin1String(place.entry))
            return {kTransmitDialog, Text(place.control)};
    }
    return {};
}

} // namespace

bool IsShownOnAPage(const AppState &state, const ConfigEntry &entry)
{
    return entry.field || PlaceOf(state, entry).page != kNoPage;
}

bool ShowEntryControl(PageManager &pages, const AppState &state, const ConfigEntry &entry)
{
    if (entry.field)
        return pages.OpenField(*entry.field) != nullptr;
    const Place place = PlaceOf(state, entry);
    return place.page != kNoPage && pages.OpenControl(place.page, place.control) != nullptr;
}
