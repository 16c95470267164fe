// The main window taken away from under a running exchange: the dialog closed with its menu
// item, replaced by another page, replaced by its counterpart when the section is switched, or
// the main window closed, while the device keeps silent. Every kind of exchange, on both
// paths: the exchange stops at once (the port is free, no more commands go out), no message
// comes afterwards, the image is as it was and PageType names the window that is open.
#include "support/simulatedk30.h"
#include "support/testshell.h"

#include "core/pagetable.h"
#include "link/linktimings.h"
#include "shell/pagemanager.h"

#include <QAction>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

class TestExchangeStress : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void interrupted_data();
    void interrupted();
};

void TestExchangeStress::interrupted_data()
{
    QTest::addColumn<bool>("serial");
    QTest::addColumn<QString>("menu");   // opens the dialog
    QTest::addColumn<QString>("button"); // starts the exchange
    QTest::addColumn<QString>("action"); // what the user does meanwhile

    struct Kind
    {
        const char *name;
        const char *menu;
        const char *button;
    };
    constexpr Kind kinds[] = {
        {"download", "mnuConfigTransmit", "cmdTransmit"},
        {"upload", "mnuConfigTransmit", "cmdReceive"},
        {"version", "mnuConfigTransmit", "CmdVersion"},
        {"memory read", "mnuToolsRDM", "CmdRead"},
        {"memory clear", "mnuToolsRDM", "cmdClear"},
    };
    for (const bool serial : {true, false}) {
        for (const Kind &kind : kinds) {
            for (const char *action :
                 {"close dialog", "other page", "switch section", "close main window"}) {
                QTest::addRow("%s, %s, %s", serial ? "serial" : "keyboard", kind.name, action)
                    << serial << QString::fromLatin1(kind.menu) << QString::fromLatin1(kind.button)
                    << QString::fromLatin1(action);
            }
        }
    }
}

void TestExchangeStress::interrupted()
{
    QFETCH(bool, serial);
    QFETCH(QString, menu);
    QFETCH(QString, button);
    QFETCH(QString, action);

    SimulatedK30 k30;
    QVERIFY(k30.IsOpen());
    k30.device.faults.silent = true;
    k30.AttachToCom1();
    SimKeyboardWedge &wedge = k30.wedge;
    QTemporaryDir root;
    QVERIFY(root.isValid());
    TestShell shell(root.path(), {.keyboard = &wedge});
    AppState &state = shell.state;
    state.link.LinkMode = serial ? LinkSettings::kByRs232 : LinkSettings::kByKeyboard;
    const Image image = state.images.ConfigImage;
    auto trigger = [&](const QString &name) { shell.Action(qPrintable(name))->trigger(); };
    std::unique_ptr<MainWindow> &window = shell.window;

    // Questions before an exchange are answered OK; any other box is a fault.
    QStringList unexpected;
    QTimer answerer;
    answerer.setInterval(2);
    connect(&answerer, &QTimer::timeout, this, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        if (!box->button(QMessageBox::Cancel))
            unexpected << box->text();
        box->button(QMessageBox::Ok)->click();
    });
    answerer.start();

    trigger(menu);
    QPointer<QWidget> dialog = window->Pages().CurrentPage();
    QVERIFY(dialog);
    auto *start = dialog->findChild<QPushButton *>(button);
    start->click();
    // Running once its question is answered: the buttons are disabled until it ends.
    QTRY_VERIFY2(!start->isEnabled(), "no exchange running");
    if (serial) {
        QVERIFY2(!k30.PortIsFree(), "the exchange does not hold the port");
    }

    if (action == QLatin1String("close dialog"))
        trigger(menu);
    else if (action == QLatin1String("other page"))
        trigger(QStringLiteral("mnuConfigComm"));
    else if (action == QLatin1String("switch section"))
        trigger(QStringLiteral("mag"));
    else
        QVERIFY(window->close());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY2(!dialog, "the dialog is still there");
    const qsizetype written = wedge.Written().size();
    if (action == QLatin1String("close main window"))
        window.reset();

    // Stopped: the port is free at once, no more commands, no message.
    if (serial) {
        QVERIFY2(k30.PortIsFree(), "the port was left open");
    }
    // Two ticks of the command repeater: a repeater still running would have written again.
    QTest::qWait(int(2 * kRepeaterInterval.count()));
    QCOMPARE(wedge.Written().size(), written);
    QVERIFY2(unexpected.isEmpty(), qPrintable(unexpected.join(QStringLiteral(" / "))));
    QCOMPARE(state.images.ConfigImage, image);
    if (window) {
        QWidget *open = window->Pages().CurrentPage();
        const PageInfo *info = FindPage(state.PageType);
        if (open)
            QVERIFY(info && open->objectName() == QLatin1String(info->window));
        else
            QCOMPARE(state.PageType, 0);
    }
}

QTEST_MAIN(TestExchangeStress)
#include "tst_exchangestress.moc"
