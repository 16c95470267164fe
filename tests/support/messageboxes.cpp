#include "messageboxes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMessageBox>
#include <QTimer>

namespace {

QMessageBox *ModalBox()
{
    return qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
}

} // namespace

bool WaitUntil(const std::function<bool()> &condition, int timeoutMs)
{
    if (condition())
        return true;
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(2);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (condition())
            loop.quit();
    });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    poll.start();
    loop.exec();
    return condition();
}

ShownMessage AnswerBox(int timeoutMs, bool cancel)
{
    WaitUntil([] { return ModalBox() != nullptr; }, timeoutMs);
    QMessageBox *box = ModalBox();
    if (!box)
        return {QStringLiteral("<no message>"), {}, false};
    ShownMessage shown{box->text(), box->windowTitle(),
                       box->button(QMessageBox::Cancel) != nullptr};
    box->button(cancel ? QMessageBox::Cancel : QMessageBox::Ok)->click();
    WaitUntil([box] { return ModalBox() != box; }, 1000);
    return shown;
}

EndMessage RunToMessage(QAbstractButton *start, int timeoutMs)
{
    EndMessage end;
    QElapsedTimer clock;
    QTimer watch;
    watch.setInterval(2);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        QMessageBox *box = ModalBox();
        if (!box)
            return;
        if (!box->button(QMessageBox::Cancel)) {
            end = {box->text(), clock.elapsed()};
            watch.stop();
        } else {
            clock.start();
        }
        box->button(QMessageBox::Ok)->click();
    });
    watch.start();
    clock.start();
    start->click();
    WaitUntil([&] { return !end.text.isEmpty(); }, timeoutMs);
    return end;
}

void CloseModalWindows()
{
    while (QWidget *modal = QApplication::activeModalWidget())
        delete modal;
}
