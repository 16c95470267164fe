#include "shell/pagemanager.h"

#include "core/fieldcatalogue.h"
#include "core/pagetable.h"
#include "link/ui/transmitdialog.h"
#include "pages/fieldpage.h"
#include "shell/pagefactory.h"
#include "shell/shellactions.h"

#include <QAbstractButton>
#include <QAction>
#include <QButtonGroup>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTabWidget>

namespace {

// The widget of a field's control on its page: the check box or text box itself, or a button
// of its option group.
QWidget *NamedControl(QWidget *page, const QString &name, int option)
{
    if (auto *group = page->findChild<QButtonGroup *>(name)) {
        QAbstractButton *button = option >= 0 ? group->button(option) : group->checkedButton();
        if (!button && !group->buttons().isEmpty())
            button = group->buttons().constFirst();
        return button;
    }
    return page->findChild<QWidget *>(name);
}

// Brings every tab that holds the widget to the front.
void ShowTabsOf(QWidget *widget)
{
    for (QWidget *inner = widget; inner && inner->parentWidget(); inner = inner->parentWidget()) {
        // A tab's page sits in the tab widget's stack.
        auto *tabs = qobject_cast<QTabWidget *>(inner->parentWidget()->parentWidget());
        if (tabs && tabs->indexOf(inner) >= 0)
            tabs->setCurrentWidget(inner);
    }
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
    m_context.state.PageType = kNoPage;
    SyncMenus();
    return type;
}

void PageManager::OpenPage(int type)
{
    const int closed = ClosePage();
    if (closed == kCloseRefused || closed == type)
        return;
    const PageInfo *page = FindPage(type);
    if (page && IsParameterPage(*page)) {
        m_context.state.MagFlag = page->section == Section::Reader;
        UpdateToolbarMode();
    }
    ShowPage(type);
}

void PageManager::OpenToolButtonPage(std::string_view key)
{
    if (const PageInfo *page = ToolButtonPage(key, CurrentSection()))
        OpenPage(page->type);
}

Section PageManager::CurrentSection() const
{
    return m_context.state.MagFlag ? Section::Reader : Section::Decoder;
}

void PageManager::SwitchSection()
{
    m_context.state.MagFlag = !m_context.state.MagFlag;
    UpdateToolbarMode();
    const int closed = ClosePage();
    if (closed == kCloseRefused)
        return;
    if (const PageInfo *page = FindPage(closed))
        ShowPage(page->counterpart);
}

void PageManager::UpdateToolbarMode()
{
    if (m_context.state.MagFlag && m_context.state.PageType == kBarCodesPage)
        ClosePage();
    SyncMenus();
}

void PageManager::CloseEditingPages()
{
    const PageInfo *page = FindPage(m_context.state.PageType);
    if (page && !page->outlivesNewFile)
        ClosePage();
}

void PageManager::ShowPage(int type)
{
    const PageInfo *info = FindPage(type);
    QWidget *page = info ? CreatePage(type, m_context) : nullptr;
    if (!page)
        return;
    QMdiSubWindow *window = m_area->addSubWindow(page);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowTitle(page->windowTitle());
    if (auto *fields = qobject_cast<FieldPage *>(page))
        connect(fields, &FieldPage::Edited, this, &PageManager::PageEdited);
    if (auto *transmit = qobject_cast<TransmitDialog *>(page))
        connect(transmit, &TransmitDialog::UploadEnded, this, &PageManager::UploadEnded);
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
    m_context.state.PageType = kNoPage;
    SyncMenus();
}

void PageManager::SyncMenus()
{
    const PageInfo *open = m_window ? FindPage(m_context.state.PageType) : nullptr;
    const Section section = CurrentSection();
    for (const PageInfo &page : kPageTable) {
        for (const PageMenuItem &item : page.menuItems) {
            if (*item.name && page.checkMark)
                m_actions.Action(Text(item.name))->setChecked(open == &page);
        }
        if (*page.disabledDefaultMenu) {
            const bool disabled =
                open && qstrcmp(open->disabledDefaultMenu, page.disabledDefaultMenu) == 0;
            m_actions.Action(Text(page.disabledDefaultMenu))->setEnabled(!disabled);
        }
        if (*page.toolButton) {
            m_actions.Action(Text(page.toolButton))
                ->setEnabled(ToolButtonPage(page.toolButton, section) != nullptr);
        }
    }
    m_actions.Action(u"mag")->setChecked(section == Section::Reader);
}

QWidget *PageManager::OpenField(const FieldSpec &field, int option)
{
    const PageInfo *page = FindPageByWindow(field.page);
    return page ? OpenControl(page->type, Text(field.control), option, &field) : nullptr;
}

QWidget *PageManager::OpenControl(int type, const QString &name, int option, const FieldSpec *field)
{
    // Choosing the open page again would close it.
    if (m_context.state.PageType != type || !m_window)
        OpenPage(type);
    if (m_context.state.PageType != type || !m_window)
        return nullptr;
    QWidget *open = CurrentPage();
    // A box that shows one track at a time shows this field's track.
    if (field && *field->selector) {
        if (auto *tracks = open->findChild<QButtonGroup *>(Text(field->selector))) {
            if (QAbstractButton *track = tracks->button(field->selectorIndex))
                track->setChecked(true);
        }
    }
    QWidget *control = NamedControl(open, name, option);
    if (!control)
        return nullptr;
    ShowTabsOf(control);
    m_area->setActiveSubWindow(m_window);
    control->setFocus(Qt::OtherFocusReason);
    return control;
}

void PageManager::RefreshPage()
{
    if (auto *page = qobject_cast<FieldPage *>(CurrentPage()))
        page->Refresh();
}

void PageManager::MarkDefaults()
{
    if (auto *page = qobject_cast<FieldPage *>(CurrentPage()))
        page->MarkDefaults();
}
