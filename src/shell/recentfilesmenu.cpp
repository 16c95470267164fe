#include "shell/recentfilesmenu.h"

#include "core/recentfiles.h"
#include "shell/shelltexts.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>

RecentFilesMenu::RecentFilesMenu(QMenu *menu, QAction *before, QWidget *window)
    : QObject(menu), m_window(window)
{
    for (int i = 0; i < kRecentFilesKept; ++i) {
        auto *item = new QAction(menu);
        item->setObjectName(QStringLiteral("mnuFileRecent%1").arg(i + 1));
        menu->insertAction(before, item);
        connect(item, &QAction::triggered, this, [this, i] { Chosen(i); });
        m_items.append(item);
    }
    m_separator = menu->insertSeparator(before);
    Update();
}

void RecentFilesMenu::Update()
{
    m_paths = RecentFiles();
    for (int i = 0; i < m_items.size(); ++i) {
        QAction *item = m_items[i];
        const QString path = m_paths.value(i);
        item->setVisible(!path.isEmpty());
        // An "&" of the file name is shown as it is, not taken as the access key.
        QString name = QFileInfo(path).fileName();
        name.replace(QLatin1Char('&'), QStringLiteral("&&"));
        item->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(name));
        item->setStatusTip(QDir::toNativeSeparators(path));
    }
    m_separator->setVisible(!m_paths.isEmpty());
}

void RecentFilesMenu::Add(const QString &path)
{
    AddRecentFile(path);
    Update();
}

void RecentFilesMenu::Chosen(int index)
{
    const QString path = m_paths.value(index);
    if (path.isEmpty())
        return;
    // Nothing would be opened: no question about unsaved changes, only the message.
    if (!QFileInfo::exists(path)) {
        RemoveRecentFile(path);
        Update();
        QMessageBox::warning(m_window, ShellTitle(),
                             QStringLiteral("The file %1 does not exist any more. It has been "
                                            "removed from the recent files.")
                                 .arg(QDir::toNativeSeparators(path)));
        return;
    }
    Q_EMIT OpenRequested(path);
}
