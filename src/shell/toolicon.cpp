#include "shell/toolicon.h"

#include <QApplication>

QIcon ToolIcon()
{
    return QIcon(QStringLiteral(":/icons/k30cfg.svg"));
}

void UseToolIcon()
{
    // Windows that set no icon of their own take the application's.
    QApplication::setWindowIcon(ToolIcon());
}
