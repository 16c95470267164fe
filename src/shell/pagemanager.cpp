#include "shell/pagemanager.h"

#include "core/fieldcatalogue.h"
#include "shell/pageregistry.h"
#include "shell/shellactions.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>

namespace {

constexpr int kBarCodesPage = 3;
constexpr int kTransmitDialog = 5;
constexpr int kMemoryDialog = 9;

// The tool bar page buttons open the page of the section the tool bar addresses.
struct SectionButton
{
    const char *key;
    int decoderType;
    int readerType; // 0: the button does nothing in reader mode
};
constexpr SectionButton kSectionButtons[] = {
    {"irm", 1, 8},
    {"com", 2, 6},
    {"bar", kBarCodesPage, 0},
    {"mis", 4, 7},
};

// What the section switch opens in place of the window that was open.
constexpr int Counterpart(int type)
{
    switch (type) {
    case 1:
        return 8;
    case 2:
        return 6;
    case 4:
        return 7;
    case kTransmitDialog:
        return kTransmitDialog;
    case 6:
        return 2;
    case 7:
        return 4;
    case 8:
        return 1;
    default:
        return 0;
    }
}

constexpr bool IsParameterPage(int type)
{
    return (type >= 1 && type <= 4) || (type >= 6 && type <= 8);
}

constexpr const char *kSetAllDefaultItems[] = {"mnuConfigDefault", "mnuMagDefault"};

bool IsBuilt(int type)
{
    const PageInfo *page = FindPage(type);
    return page && page->create;
}

} // namespace

PageManager::PageManager(PageContext &context, QMdiArea *area, ShellActions &actions,
                         QObject *parent)
    : QObject(parent), m_context(context), m_area(area), m_actions(actions)
{
}

QWidget *PageManager::CurrentPage() const
{
    return m_window ? m_window->widget() : nullptr;
}

int PageManager::ClosePage()
{
    const int type = m_context.state.PageType;
    if (QMdiSubWindow *window = m_window) {
        // A window may refuse (the memory dialog asks about unsaved data first).
        if (!window->close())
            return kCloseRefused;
        m_window = nullptr;
        // Deleted now rather than later, so that nothing of the closed page lingers while
        // its successor opens.
        delete window;
    }
    m_context.state.PageType = 0;
    SyncMenus();
    return type;
}

void PageManager::OpenPage(int type)
{
    const int closed = ClosePage();
    if (closed == kCloseRefused || closed == type)
        return;
    if (IsParameterPage(type)) {
        m_context.state.MagFlag = type >= 6;
        UpdateToolbarMode();
    }
    ShowPage(type);
}

void PageManager::OpenSectionPage(const char *key)
{
    for (const SectionButton &button : kSectionButtons) {
        if (qstrcmp(button.key, key) != 0)
            continue;
        const int type = m_context.state.MagFlag ? button.readerType : button.decoderType;
        if (type != 0)
            OpenPage(type);
    }
}

void PageManager::SwitchSection()
{
    m_context.state.MagFlag = !m_context.state.MagFlag;
    UpdateToolbarMode();
    const int closed = ClosePage();
    if (closed == kCloseRefused)
        return;
    ShowPage(Counterpart(closed));
}

void PageManager::UpdateToolbarMode()
{
    if (m_context.state.MagFlag && m_context.state.PageType == kBarCodesPage)
        ClosePage();
    SyncMenus();
}

void PageManager::CloseEditingPages()
{
    const int type = m_context.state.PageType;
    if (type >= 1 && type <= 8)
        ClosePage();
}

void PageManager::ShowPage(int type)
{
    const PageInfo *info = FindPage(type);
    if (!info || !info->create)
        return;
    QWidget *page = info->create(m_context, nullptr);
    QMdiSubWindow *window = m_area->addSubWindow(page);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowTitle(page->windowTitle());
    // Closed by its own title bar button: the page is gone all the same.
    connect(window, &QObject::destroyed, this, [this, window] { PageGone(window); });
    m_window = window;
    m_context.state.PageType = type;
    if (info->maximized)
        window->showMaximized();
    else
        window->show();
    SyncMenus();
}

void PageManager::PageGone(QMdiSubWindow *window)
{
    if (window != m_window)
        return;
    m_window = nullptr;
    m_context.state.PageType = 0;
    SyncMenus();
}

void PageManager::SyncMenus()
{
    const PageInfo *open = m_window ? FindPage(m_context.state.PageType) : nullptr;
    for (const PageInfo &page : PageTable()) {
        if (QAction *item = m_actions.Action(Text(page.checkedMenu))) {
            item->setChecked(open == &page);
            item->setEnabled(page.create != nullptr);
        }
    }
    for (const char *name : kSetAllDefaultItems) {
        const bool disabled = open && qstrcmp(open->disabledDefaultMenu, name) == 0;
        m_actions.Action(Text(name))->setEnabled(!disabled);
    }
    for (const char *name : {"mnuConfigTransmit", "mnuMagTransmit", "transmit"})
        m_actions.Action(Text(name))->setEnabled(IsBuilt(kTransmitDialog));
    m_actions.Action(u"mnuToolsRDM")->setEnabled(IsBuilt(kMemoryDialog));

    const bool reader = m_context.state.MagFlag;
    for (const SectionButton &button : kSectionButtons) {
        const int type = reader ? button.readerType : button.decoderType;
        m_actions.Action(Text(button.key))->setEnabled(type != 0 && IsBuilt(type));
    }
    m_actions.Action(u"mag")->setChecked(reader);
}
