#include "core/appstate.h"
#include "link/ioportkeyboard.h"
#include "shell/mdimain.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("k30cfg"));
    QApplication::setOrganizationName(QStringLiteral("k30cfg"));

    AppState state;
    IoPortKeyboard keyboard;
    ShellSetup setup;
    setup.keyboard = &keyboard;
    setup.initializeKeyboard = [&keyboard] { return keyboard.InitializeWinIo(); };
    MDImain window(state, std::move(setup));
    window.show();
    return QApplication::exec();
}
