#include "link/ui/scantestdialog.h"

#include "core/fieldcatalogue.h"
#include "core/fieldtext.h"
#include "link/linkexchange.h"
#include "link/session/devicesession.h"
#include "sim/simscanoutput.h"
#include "support/boxanswerer.h"
#include "support/simulatedk30.h"
#include "ui/pagecontext.h"

#include <QAccessible>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QSerialPort>
#include <QShortcut>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <memory>

// "Test Scan" against a simulated K30 that reads bar codes and cards, on a pseudo-terminal as
// "Com 1" and through the keyboard wedge: the rows, their parts as the configuration frames
// them, Copy and Save, and a port that is held or breaks.
class TestScanTestDialog : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void downloadedPrefixAndSuffixMarked();
    void deviceConfiguredOtherwise();
    void typedCardOnKeyboardPath();
    void portHeldThenBroken();
    void saveFailsAndSucceeds();

private:
    void Set(const char *name, const char *value);
    ScanTestDialog *Open();
    QTreeWidget *List() const { return m_dialog->findChild<QTreeWidget *>(u"lstScans"_qs); }
    QString Note() const { return m_dialog->findChild<QLabel *>(u"lblListening"_qs)->text(); }

    std::unique_ptr<AppState> m_state;
    std::unique_ptr<SimulatedK30> m_k30;
    std::unique_ptr<PageContext> m_context;
    QPointer<ScanTestDialog> m_dialog;
};

void TestScanTestDialog::init()
{
    m_state = std::make_unique<AppState>();
    m_k30 = std::make_unique<SimulatedK30>();
    QVERIFY(m_k30->IsOpen());
    m_k30->AttachToCom1();
    m_state->link.LinkMode = LinkSettings::kByRs232;
    m_state->link.CommPort = 1;
    m_context = std::make_unique<PageContext>(PageContext{*m_state, &m_k30->wedge});
}

void TestScanTestDialog::cleanup()
{
    delete m_dialog;
    m_context.reset();
    m_k30.reset();
    m_state.reset();
}

void TestScanTestDialog::Set(const char *name, const char *value)
{
    const FieldSpec *field = FindField(name);
    QVERIFY(field);
    QVERIFY(!SetFieldFromText(*field, QString::fromLatin1(value), m_state->images));
}

ScanTestDialog *TestScanTestDialog::Open()
{
    m_dialog = new ScanTestDialog(*m_context, nullptr);
    m_dialog->show();
    m_dialog->activateWindow();
    return m_dialog;
}

// The prefix and suffix set as the page sets them, downloaded into the device: its scan
// comes with every part marked as configured.
void TestScanTestDialog::downloadedPrefixAndSuffixMarked()
{
    Set("decoder.misc.prefix", "{STX}");
    Set("decoder.misc.suffix", "{CR}{LF}");
    Set("decoder.comm.terminator", "None");
    const DeviceSession session(m_state->link, nullptr, nullptr);
    std::unique_ptr<LinkExchange> download(
        session.MakeExchange(ExchangeKind::Download, m_state->images.ConfigImage));
    QSignalSpy finished(download.get(), &LinkExchange::Finished);
    download->Start();
    QVERIFY(finished.wait(5000));
    QCOMPARE(finished.at(0).at(0).value<ExchangeResult>().outcome, ExchangeOutcome::Good);

    Open();
    QVERIFY2(Note().startsWith(u"Listening on Com 1 (9600,N,8,1)"_qs), qPrintable(Note()));
    m_k30->server.SendUnasked(SimBarCodeOutput(m_k30->device.image, "AB12345", 0, false));
    QTRY_COMPARE(List()->topLevelItemCount(), 1);
    const QTreeWidgetItem *row = List()->topLevelItem(0);
    QCOMPARE(row->text(1), u"10"_qs);
    QCOMPARE(row->text(2), u"{STX}AB12345{CR}{LF}"_qs);
    QCOMPARE(row->text(3), u"prefix {STX} | data AB12345 | suffix {CR}{LF}"_qs);
    QCOMPARE(row->text(4), u"As configured"_qs);

    // Copy hands every row over, as Save writes them.
    m_dialog->findChild<QPushButton *>(u"cmdCopy"_qs)->click();
    QCOMPARE(QGuiApplication::clipboard()->text(), m_dialog->RowsText());
    QVERIFY(m_dialog->RowsText().contains(u"\t10\t{STX}AB12345{CR}{LF}\tprefix {STX}"_qs));

    // Closing lets go of the port.
    m_dialog->close();
    QTRY_VERIFY(m_k30->PortIsFree());
}

// The configuration says one suffix, the device sends another: the row says which part and
// how, and stands out without relying on colour alone.
void TestScanTestDialog::deviceConfiguredOtherwise()
{
    Set("decoder.misc.suffix", "{CR}{LF}");
    Set("decoder.comm.terminator", "None");
    Open();
    m_k30->server.SendUnasked("AB12345\r");
    QTRY_COMPARE(List()->topLevelItemCount(), 1);
    const QTreeWidgetItem *row = List()->topLevelItem(0);
    QCOMPARE(row->text(3), u"rest AB12345 | suffix {CR} (!)"_qs);
    QCOMPARE(row->text(4), u"Differs: expected suffix {CR}{LF}, received {CR}"_qs);
}

// On the keyboard path the device types into the capture box: a card with two tracks, Enter
// between them as the separator, is one row, and neither Enter nor Escape closes the window.
void TestScanTestDialog::typedCardOnKeyboardPath()
{
    m_state->link.LinkMode = LinkSettings::kByKeyboard;
    Set("reader.comm.terminator", "CR");
    // As a download through the keyboard would leave it.
    m_k30->device.image = m_state->images.ConfigImage;
    Open();
    QWidget *capture = m_dialog->findChild<QWidget *>(u"txtScan"_qs);
    QVERIFY(capture->isVisible());
    QCOMPARE(capture->accessibleName(), u"Scan here"_qs);
    m_k30->wedge.SetTarget(capture);
    m_k30->wedge.TypeUnasked(SimCardOutput(m_k30->device.image, {"B123^X", "123=45", ""}, true));
    QTRY_COMPARE(List()->topLevelItemCount(), 1);
    const QTreeWidgetItem *row = List()->topLevelItem(0);
    QCOMPARE(row->text(2), u"%B123^X?{CR};123=45?{CR}"_qs);
    QCOMPARE(row->text(3), u"track 1 start % | track 1 data B123^X | track 1 end ? | "
                           "separator {CR} | track 2 start ; | track 2 data 123=45 | "
                           "track 2 end ? | terminator {CR}"_qs);
    for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Tab, Qt::Key_Return})
        QTest::keyClick(capture, key);
    QTRY_COMPARE(List()->topLevelItemCount(), 2);
    QCOMPARE(List()->topLevelItem(1)->text(2), u"{ESC}{HT}{CR}"_qs);
    QVERIFY(m_dialog->isVisible());
    QVERIFY(capture->hasFocus());
    // F1 reaches the manual from the window.
    QVERIFY(m_dialog->findChild<QShortcut *>(u"helpShortcut"_qs));
}

// A port another program holds is told, and so is a line that breaks while listening;
// Listen Again takes the port once it is free.
void TestScanTestDialog::portHeldThenBroken()
{
    QSerialPort holder(m_k30->Path());
    QVERIFY(holder.open(QIODevice::ReadWrite));
    Open();
    QVERIFY2(Note().startsWith(u"COM 1: not available."_qs), qPrintable(Note()));
    holder.close();
    m_dialog->findChild<QPushButton *>(u"cmdListen"_qs)->click();
    QVERIFY2(Note().startsWith(u"Listening"_qs), qPrintable(Note()));
    m_k30->server.Close();
    QTRY_VERIFY2(Note().startsWith(u"The line broke on Com 1"_qs), qPrintable(Note()));
    QCOMPARE(
        QAccessible::queryAccessibleInterface(m_dialog->findChild<QLabel *>(u"lblListening"_qs))
            ->text(QAccessible::Name),
        Note());
}

// Save goes through the one file writer: a failure is told and nothing is claimed; the file
// written holds the rows, hostile bytes as key names.
void TestScanTestDialog::saveFailsAndSucceeds()
{
    Set("decoder.comm.terminator", "None");
    Open();
    m_k30->server.SendUnasked(QByteArray("\x00\xff\"\n\x1b[2J", 8));
    QTRY_COMPARE(List()->topLevelItemCount(), 1);
    QTemporaryDir dir;
    m_dialog->SetFileAsker([&](QWidget *) { return dir.filePath(u"missing/scans.txt"_qs); });
    BoxAnswerer failed({QMessageBox::Ok});
    QVERIFY(!m_dialog->Save());
    QCOMPARE(failed.seen().size(), 1);
    QVERIFY(failed.seen().at(0).text.startsWith(u"The scans could not be saved to"_qs));

    m_dialog->SetFileAsker([&](QWidget *) { return dir.filePath(u"scans"_qs); });
    QVERIFY(m_dialog->Save());
    QFile saved(dir.filePath(u"scans.txt"_qs));
    QVERIFY(saved.open(QIODevice::ReadOnly));
    const QByteArray text = saved.readAll();
    QCOMPARE(text.count('\n'), 1);
    QVERIFY2(text.contains("\t8\t{NUL}\xFF\"{LF}{ESC}[2J\t"), text.constData());
}

QTEST_MAIN(TestScanTestDialog)
#include "tst_scantestdialog.moc"
