#include "ui/helpkey.h"

#include <QShortcut>
#include <QWidget>

QShortcut *AddHelpKey(QWidget *window, std::function<void()> showHelp)
{
    auto *help = new QShortcut(QKeySequence(Qt::Key_F1), window);
    help->setObjectName(QStringLiteral("helpShortcut"));
    QObject::connect(help, &QShortcut::activated, window, std::move(showHelp));
    return help;
}
