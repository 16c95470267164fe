#include "link/ports/portmapping.h"
#include "link/ui/finddevicedialog.h"
#include "support/fakeportlist.h"
#include "support/simulatedk30.h"

#include "core/linksettings.h"

#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QShortcut>
#include <QTest>
#include <QTreeWidget>

// "Find Device" against a simulated K30 on a pseudo-terminal: nothing is probed before the
// user agrees, an unchecked port is never probed, and "Use" gives the Transmit dialog the
// port (mapping a free "Com n" to it) and the line settings the device answered at.
class TestFindDeviceDialog : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void asksFirstThenUses();
};

void TestFindDeviceDialog::asksFirstThenUses()
{
    SimulatedK30 k30;
    SimulatedK30 unchecked;
    QVERIFY(k30.IsOpen() && unchecked.IsOpen());
    k30.server.SetDeviceLine(4800, 8, 2);
    FakePortList list;
    list.ports = {Adapter(k30.Path(), QStringLiteral("A50285BI")), BuiltIn(unchecked.Path())};
    PortMapping mapping(list);
    LinkSettings settings;
    FindDeviceDialog dialog(settings, mapping, nullptr);
    dialog.SetMargin(LinkDuration(150));
    dialog.show();
    QVERIFY(dialog.findChild<QShortcut *>(QStringLiteral("helpShortcut")));

    auto *ports = dialog.findChild<QListWidget *>(QStringLiteral("lstPorts"));
    QCOMPARE(ports->count(), 2);
    QTest::qWait(200);
    QVERIFY(k30.device.Log().isEmpty());
    ports->item(1)->setCheckState(Qt::Unchecked);

    auto *use = dialog.findChild<QPushButton *>(QStringLiteral("cmdUse"));
    QVERIFY(!use->isEnabled());
    // The agreement, from the keyboard: "Probe" is the default button.
    QTest::keyClick(&dialog, Qt::Key_P, Qt::AltModifier);
    QTRY_VERIFY_WITH_TIMEOUT(use->isEnabled(), 10000);
    QVERIFY(unchecked.device.Log().isEmpty());
    auto *results = dialog.findChild<QTreeWidget *>(QStringLiteral("lstResults"));
    QCOMPARE(results->topLevelItemCount(), 1);
    QCOMPARE(results->topLevelItem(0)->text(4), QStringLiteral("4800 8 2"));
    QCOMPARE(results->topLevelItem(0)->text(2), QStringLiteral("A50285BI"));

    use->click();
    QCOMPARE(settings.LinkMode, LinkSettings::kByRs232);
    QCOMPARE(settings.SerialSettingsText(), QStringLiteral("4800,N,8,2 "));
    // No "Com n" reached it: Com 1, which led to no port present, does now.
    QCOMPARE(settings.CommPort, 1);
    QCOMPARE(mapping.Route(1).device, k30.Path());
    QVERIFY(!dialog.isVisible());
}

QTEST_MAIN(TestFindDeviceDialog)
#include "tst_finddevicedialog.moc"
