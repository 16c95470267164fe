#include "shell/entrylocator.h"

#include "core/pagetable.h"
#include "shell/pagemanager.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QStackedWidget>
#include <QTabWidget>
#include <QWidget>

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
    if (entry.field) {
        const PageInfo *page = FindPageByWindow(entry.field->page);
        return {page ? page->type : kNoPage, Text(entry.field->control)};
    }
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

// The widget that stands for a control: an option group by its chosen button.
QWidget *ControlWidget(QWidget *page, const QString &name)
{
    if (auto *group = page->findChild<QButtonGroup *>(name)) {
        QAbstractButton *chosen = group->checkedButton();
        return chosen ? chosen : group->buttons().value(0);
    }
    return page->findChild<QWidget *>(name);
}

// Every tab strip between the page and the control shows the tab that holds it.
void BringTabsForward(QWidget *control, QWidget *page)
{
    for (QWidget *w = control; w && w != page; w = w->parentWidget()) {
        auto *stack = qobject_cast<QStackedWidget *>(w->parentWidget());
        if (auto *tabs = stack ? qobject_cast<QTabWidget *>(stack->parentWidget()) : nullptr)
            tabs->setCurrentWidget(w);
    }
}

} // namespace

bool ShowEntryControl(PageManager &pages, const AppState &state, const ConfigEntry &entry)
{
    const Place place = PlaceOf(state, entry);
    if (place.page == kNoPage)
        return false;
    // Choosing the open page again would close it.
    if (state.PageType != place.page)
        pages.OpenPage(place.page);
    QWidget *page = pages.CurrentPage();
    if (!page || state.PageType != place.page)
        return false;
    // A prefix or suffix of one track shares its box with the other tracks: the track is
    // chosen first, as a user would.
    if (entry.field && *entry.field->selector) {
        if (auto *tracks = page->findChild<QButtonGroup *>(Text(entry.field->selector))) {
            if (QAbstractButton *track = tracks->button(entry.field->selectorIndex))
                track->click();
        }
    }
    QWidget *control = ControlWidget(page, place.control);
    if (!control)
        return false;
    BringTabsForward(control, page);
    page->window()->activateWindow();
    control->setFocus(Qt::OtherFocusReason);
    return true;
}
