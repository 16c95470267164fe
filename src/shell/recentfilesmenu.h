#pragma once

#include <QList>
#include <QObject>
#include <QString>

class QAction;
class QMenu;
class QWidget;

// The recent files at the end of the File menu, before "E&xit": "&1 site.cfg" to "&4 ...",
// newest first, each with its full path as status tip, and a separator after them while
// there are any. Choosing one that no longer exists says so and drops it from the list.
class RecentFilesMenu : public QObject
{
    Q_OBJECT
public:
    // The items are put into `menu` before `before`, named "mnuFileRecent1" to "...4".
    RecentFilesMenu(QMenu *menu, QAction *before, QWidget *window);

    // Shows the list as the settings now hold it.
    void Update();
    // A configuration was opened or saved: it becomes the first.
    void Add(const QString &path);

Q_SIGNALS:
    // The user chose a file that exists.
    void OpenRequested(const QString &path);

private:
    void Chosen(int index);

    QWidget *m_window = nullptr;
    QList<QAction *> m_items;
    QAction *m_separator = nullptr;
    QStringList m_paths;
};
