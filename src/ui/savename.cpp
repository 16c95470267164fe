#include "ui/savename.h"

#include "core/safefile.h"

#include <QDir>
#include <QFileInfo>
#include <QMessageBox>

QString ConfirmedSaveName(QWidget *parent, const QString &chosen, const QString &suffix,
                          const QString &title)
{
    if (chosen.isEmpty())
        return {};
    const QString path = WithDefaultSuffix(chosen, suffix);
    // A dangling link exists as well: writing follows it.
    const QFileInfo written(path);
    if (path == chosen || !(written.exists() || written.isSymLink()))
        return path;
    QMessageBox box(QMessageBox::Warning, title,
                    QStringLiteral("%1 already exists.\nDo you want to replace it?")
                        .arg(QDir::toNativeSeparators(path)),
                    QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes ? path : QString();
}
