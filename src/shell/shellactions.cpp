#include "shell/shellactions.h"

#include "core/fieldcatalogue.h"
#include "core/pagetable.h"

#include <QAction>
#include <QIcon>
#include <QMainWindow>
#include <QMenuBar>
#include <QToolBar>

namespace {

struct MenuItem
{
    const char *name; // nullptr: separator
    const char *caption;
    QKeyCombination shortcut = {};
    QKeyCombination alternate = {};
};

struct Menu
{
    const char *name;
    const char *caption;
    std::initializer_list<MenuItem> items;
};

// The page items of the bar decoder carry function keys; F1 stays free for help.
const Menu kMenus[] = {
    {"mnuFile",
     "&File",
     {{"mnuFileNew", "&New", Qt::CTRL | Qt::Key_N},
      {"mnuFileOpen", "&Open...", Qt::CTRL | Qt::Key_O},
      {"mnuFileSave", "&Save", Qt::CTRL | Qt::Key_S},
      {"mnuFileSaveAs", "Save &As...", Qt::CTRL | Qt::Key_A},
      {"mnuFileDefault", "Save As &Default"},
      {nullptr, nullptr},
      {"mnuFileCompare", "Compare With &File..."},
      {"mnuFileCompareDevice", "Compare With &Device..."},
      {nullptr, nullptr},
      // The recent files come here (RecentFilesMenu).
      {"mnuFileExit", "E&xit", Qt::CTRL | Qt::Key_X}}},
    {"mnuEdit",
     "&Edit",
     {{"mnuEditUndo", "&Undo", Qt::CTRL | Qt::Key_Z},
      {"mnuEditRedo", "&Redo", Qt::CTRL | Qt::SHIFT | Qt::Key_Z, Qt::CTRL | Qt::Key_Y},
      {nullptr, nullptr},
      {"mnuEditFind", "&Find Parameter...", Qt::CTRL | Qt::Key_F}}},
    {"mnuConfig",
     "&Bar_Decoder",
     {{"mnuConfigInterface", "&Interface", QKeyCombination(Qt::Key_F5)},
      {"mnuConfigComm", "&Communication", QKeyCombination(Qt::Key_F6)},
      {"mnuConfigBar", "&Bar Codes and Others", QKeyCombination(Qt::Key_F7)},
      {"mnuConfigMisc", "&Miscellaneous", QKeyCombination(Qt::Key_F8)},
      {nullptr, nullptr},
      {"mnuConfigDefault", "&Set All Default"},
      {nullptr, nullptr},
      {"mnuConfigTransmit", "Transmit"}}},
    {"mnuMag",
     "&Magnic_Reader",
     {{"mnuMagInterface", "&Interface"},
      {"mnuMagComm", "&Communication"},
      {"mnuMagMisc", "&Miscellaneous"},
      {nullptr, nullptr},
      {"mnuMagDefault", "&Set All Default"},
      {nullptr, nullptr},
      {"mnuMagTransmit", "Transmit"}}},
    {"mnuTools",
     "&Tools",
     {{"mnuToolsRDM", "&Read Decoder Memory"},
      {nullptr, nullptr},
      {"mnuToolsPorts", "&Port Mapping..."}}},
    {"mnuHelp", "&Help", {{"mnuHelpContents", "&Contents"}, {"mnuHelpAbout", "&About"}}},
};

struct ToolButton
{
    const char *key; // nullptr: separator
    const char *toolTip;
};

constexpr ToolButton kToolButtons[] = {
    {"new", "New File"},
    {"open", "Open File"},
    {"save", "Save File"},
    {nullptr, nullptr},
    {"irm", "Interface and Reading Mode"},
    {"com", "Communication Parameters"},
    {"bar", "Bar Codes and Others"},
    {"mis", "Miscellaneous Parameters"},
    {"transmit", "Transmit"},
    {nullptr, nullptr},
    {"mag", "Magnet Reader"},
};

} // namespace

ShellActions::ShellActions(QMainWindow *window) : QObject(window)
{
    BuildMenus(window);
    BuildToolBar(window);
}

QAction *ShellActions::Action(QStringView name) const
{
    return m_actions.value(name.toString(), nullptr);
}

QAction *ShellActions::AddItem(QMenu *menu, const char *name, const QString &caption)
{
    auto *item = menu->addAction(caption);
    item->setObjectName(Text(name));
    m_actions.insert(item->objectName(), item);
    return item;
}

void ShellActions::BuildMenus(QMainWindow *window)
{
    for (const Menu &menu : kMenus) {
        QMenu *drop = window->menuBar()->addMenu(Text(menu.caption));
        drop->setObjectName(Text(menu.name));
        for (const MenuItem &item : menu.items) {
            if (!item.name) {
                drop->addSeparator();
                continue;
            }
            QAction *added = AddItem(drop, item.name, Text(item.caption));
            QList<QKeySequence> keys;
            for (QKeyCombination key : {item.shortcut, item.alternate}) {
                if (key != QKeyCombination())
                    keys.append(QKeySequence(key));
            }
            added->setShortcuts(keys);
        }
    }
    // Menu items that carry a check mark while their page is open.
    for (const PageInfo &page : kPageTable) {
        for (const char *name : page.menuItems) {
            if (name && page.checkMark)
                m_actions.value(Text(name))->setCheckable(true);
        }
    }
}

void ShellActions::BuildToolBar(QMainWindow *window)
{
    m_toolBar = window->addToolBar(QStringLiteral("Toolbar1"));
    m_toolBar->setObjectName(QStringLiteral("Toolbar1"));
    m_toolBar->setMovable(false);
    for (const ToolButton &button : kToolButtons) {
        if (!button.key) {
            m_toolBar->addSeparator();
            continue;
        }
        const QString key = Text(button.key);
        QAction *added = m_toolBar->addAction(QIcon(QStringLiteral(":/icons/%1.svg").arg(key)),
                                              Text(button.toolTip));
        added->setObjectName(key);
        added->setToolTip(Text(button.toolTip));
        m_actions.insert(key, added);
    }
    // The section switch stays down while the tool bar addresses the magnetic reader.
    m_actions.value(QStringLiteral("mag"))->setCheckable(true);
}
