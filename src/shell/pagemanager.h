#pragma once

#include "core/fieldcatalogue.h"
#include "core/parameterimages.h"
#include "ui/pagecontext.h"

#include <QObject>

#include <string_view>

class QMdiArea;
class QMdiSubWindow;
class QWidget;
class ShellActions;

// At most one page or dialog is open inside the main window. Opening one closes the other,
// choosing the open one again closes it, and the section switch "mag" replaces a page by its
// counterpart in the other section. The menu check marks, the disabled "&Set All Default"
// items and the tool bar's page buttons follow the page table (core/pagetable.h): pages never
// touch the menus.
class PageManager : public QObject
{
    Q_OBJECT
public:
    // ClosePage's answer when the open window refused to close.
    static constexpr int kCloseRefused = -1;

    PageManager(PageContext &context, QMdiArea *area, ShellActions &actions, QObject *parent);

    // Closes the window PageType names and returns that number (kNoPage when none was open).
    int ClosePage();
    // The page-opening rule: a toggle for the open window, the section follows the page.
    void OpenPage(int type);
    // A tool bar page button ("irm", "com", "bar", "mis", "transmit"): the page it opens in
    // the section the tool bar addresses.
    void OpenToolButtonPage(std::string_view key);
    // The section switch "mag".
    void SwitchSection();
    // Shows MagFlag on the tool bar; the bar code symbologies page closes in reader mode.
    void UpdateToolbarMode();
    // File New and Open: the parameter pages and the transmit dialog close so that the next
    // page shows the new values; the memory dialog stays.
    void CloseEditingPages();

    QWidget *CurrentPage() const;
    // Check marks, disabled "&Set All Default" items and the tool bar's page buttons.
    void SyncMenus();

    // Opens the page of a field unless it is open (switching the section as its menu item
    // does), shows the tab holding the field's control (and the field's track where a
    // selector chooses one) and gives that control the focus: the option `option` of an
    // option group, else its selected option. Returns the control, nullptr when the page
    // could not be opened.
    QWidget *OpenField(const FieldSpec &field, int option = -1);
    // The same for a control of any page or dialog by its object name (an option group: its
    // option `option`, else the chosen one).
    QWidget *OpenControl(int type, const QString &name, int option = -1,
                         const FieldSpec *field = nullptr);
    // The open parameter page shows ConfigImage again, writing nothing (after an undo).
    void RefreshPage();
    // The open parameter page marks what differs from DefaultImage again.
    void MarkDefaults();

Q_SIGNALS:
    // The user changed a field on the open page (see FieldBinder::Edited).
    void PageEdited(const QString &typedField);
    // An upload in the transmit dialog has ended.
    void UploadEnded();

private:
    Section CurrentSection() const;
    void ShowPage(int type);
    void PageGone(QMdiSubWindow *window);

    PageContext &m_context;
    QMdiArea *m_area = nullptr;
    ShellActions &m_actions;
    QMdiSubWindow *m_window = nullptr;
};
