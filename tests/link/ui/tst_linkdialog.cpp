#include "support/environmentguard.h"
#include "support/images.h"
#include "support/linkdialogfixture.h"
#include "support/messageboxes.h"

#include "link/ui/readmemorydialog.h"
#include "link/ui/transmitdialog.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QTest>

#include <memory>

// What both link dialogs, "Transmit" and "Read Decoder Memory", do alike: a port that is not
// there, and closing or destroying the dialog in the middle of an exchange, on both paths.
class TestLinkDialog : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { m_f.reset(); }
    void missingPort_data();
    void missingPort();
    void closeDuringExchange_data();
    void closeDuringExchange();

private:
    // A fresh fixture for the memory dialog, or the transmit dialog; then the dialog itself.
    void Make(bool memory);
    void Open(bool memory);

    std::unique_ptr<LinkDialogFixture> m_f;
};

void TestLinkDialog::Make(bool memory)
{
    m_f = std::make_unique<LinkDialogFixture>(memory ? kMemoryButtons : kTransmitButtons);
    QVERIFY(m_f->k30.IsOpen());
}

void TestLinkDialog::Open(bool memory)
{
    if (memory)
        m_f->Open<ReadMemoryDialog>();
    else
        m_f->Open<TransmitDialog>();
}

void TestLinkDialog::missingPort_data()
{
    QTest::addColumn<bool>("memory");
    QTest::newRow("transmit") << false;
    QTest::newRow("memory") << true;
}

void TestLinkDialog::missingPort()
{
    QFETCH(bool, memory);
    const EnvironmentGuard com4("K30CFG_COM4", "/dev/k30-no-such-port");
    Make(memory);
    m_f->state.link.LinkMode = LinkSettings::kByRs232;
    m_f->state.link.CommPort = 4;
    Open(memory);
    m_f->Click(memory ? "CmdRead" : "cmdTransmit");
    if (memory)
        AnswerBox(1000); // the question before a read
    const ShownMessage shown = AnswerBox(2000);
    QCOMPARE(shown.text, QStringLiteral("COM 4: not available."));
    QVERIFY(shown.title.isEmpty());
    QVERIFY(m_f->ButtonsEnabled());
    if (memory)
        QVERIFY(m_f->Find<QPlainTextEdit>("TxtMemory")->isHidden());
}

void TestLinkDialog::closeDuringExchange_data()
{
    QTest::addColumn<bool>("memory");
    QTest::addColumn<bool>("serial");
    QTest::addColumn<bool>("destroy");
    QTest::newRow("transmit, serial, closed") << false << true << false;
    QTest::newRow("transmit, serial, destroyed") << false << true << true;
    QTest::newRow("transmit, keyboard, closed") << false << false << false;
    QTest::newRow("transmit, keyboard, destroyed") << false << false << true;
    QTest::newRow("memory, serial, closed") << true << true << false;
    QTest::newRow("memory, keyboard, closed") << true << false << false;
}

void TestLinkDialog::closeDuringExchange()
{
    QFETCH(bool, memory);
    QFETCH(bool, serial);
    QFETCH(bool, destroy);
    const Image image = FilledImage(0x22);
    Make(memory);
    m_f->k30.device.faults.silent = true;
    m_f->k30.AttachToCom1();
    m_f->state.link.LinkMode = serial ? LinkSettings::kByRs232 : LinkSettings::kByKeyboard;
    m_f->state.images.ConfigImage = image;
    Open(memory);
    m_f->Click(memory ? "CmdRead" : "CmdVersion");
    if (memory)
        AnswerBox(1000);
    QTest::qWait(400);
    QVERIFY(m_f->dialog->IsExchangeRunning());
    if (destroy) {
        m_f->dialog.reset();
    } else {
        QVERIFY(m_f->dialog->close());
        QVERIFY(!m_f->dialog->IsExchangeRunning());
    }
    const QByteArray written = m_f->k30.wedge.Written();
    QTest::qWait(800);
    // Stopped cleanly: no message, no more commands, the port free again.
    QVERIFY(!QApplication::activeModalWidget());
    QCOMPARE(m_f->k30.wedge.Written(), written);
    QVERIFY(m_f->k30.PortIsFree());
    QCOMPARE(m_f->state.images.ConfigImage, image);
    // A device in the middle of a memory read is told to stop.
    if (memory && serial)
        QTRY_COMPARE(m_f->k30.Replies(), QStringList{QStringLiteral("E")});
}

QTEST_MAIN(TestLinkDialog)
#include "tst_linkdialog.moc"
