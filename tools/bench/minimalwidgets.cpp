// The reference for k30cfg's start-up: the least a Qt Widgets program does to show a main
// window that shows any text, here a menu bar with one menu (text needs the font database,
// which an empty window never loads). `--bare` leaves the window empty. It reports the window
// shown and painted exactly as `k30cfg --quit-after-show` does.

#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QTimer>

#include <cstdio>
#include <cstring>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    if (argc < 2 || std::strcmp(argv[1], "--bare") != 0) {
        QMenu *file = window.menuBar()->addMenu(QStringLiteral("&File"));
        file->addAction(QStringLiteral("E&xit"), &app, &QCoreApplication::quit);
    }
    window.resize(800, 600);
    window.show();
    QTimer::singleShot(0, &app, [&window] {
        window.repaint();
        std::fputs("shown\n", stdout);
        std::fflush(stdout);
        QCoreApplication::quit();
    });
    return QApplication::exec();
}
