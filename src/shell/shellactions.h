#pragma once

#include <QHash>
#include <QKeyCombination>
#include <QObject>
#include <QString>

#include <initializer_list>

class QAction;
class QMainWindow;
class QMenu;
class QToolBar;

// The main window's menu bar and tool bar `Toolbar1`. Every menu item and tool bar button is
// a QAction named as the system names it (menu items "mnuFileNew"..., tool bar buttons by
// their key "new", "irm", "mag"...); the window looks them up by that name to connect its
// commands and to set check marks and enabled states. The items that open pages and dialogs
// come from the page table.
class ShellActions : public QObject
{
    Q_OBJECT
public:
    explicit ShellActions(QMainWindow *window);

    // The action with this object name; nullptr for an unknown name.
    QAction *Action(QStringView name) const;
    QToolBar *ToolBar() const { return m_toolBar; }

private:
    QAction *AddItem(QMenu *menu, const char *name, const QString &caption,
                     std::initializer_list<QKeyCombination> keys);
    void BuildMenus(QMainWindow *window);
    void BuildToolBar(QMainWindow *window);

    QHash<QString, QAction *> m_actions;
    QToolBar *m_toolBar = nullptr;
};
