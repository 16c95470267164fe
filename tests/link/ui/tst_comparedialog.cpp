#include "support/boxanswerer.h"
#include "support/testshell.h"

#include "about/helpwindow.h"
#include "core/configfile.h"
#include "core/fieldtext.h"
#include "link/linkmessage.h"
#include "link/linktimings.h"
#include "link/ui/comparedialog.h"
#include "shell/pagemanager.h"
#include "sim/simdevice.h"
#include "sim/simkeyboardwedge.h"
#include "sim/simserialserver.h"

#include <QButtonGroup>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <QShortcut>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTreeWidget>

namespace {

using Row = QStringList; // page, parameter, here, there

// The image with each of `values` (parameter name, text) set as a page would set it.
Image Changed(const QList<std::pair<const char *, const char *>> &values)
{
    ParameterImages images;
    images.ConfigImage = FactoryImage();
    for (const auto &[name, text] : values) {
        const FieldSpec *field = FindField(name);
        if (!field || SetFieldFromText(*field, QString::fromLatin1(text), images))
            qFatal("cannot set %s to %s", name, text);
    }
    return images.ConfigImage;
}

QList<Row> Rows(const CompareDialog *dialog)
{
    const auto *list = dialog->findChild<QTreeWidget *>(QStringLiteral("lstCompare"));
    QList<Row> rows;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        Row row;
        for (int column = 0; column < list->columnCount(); ++column)
            row << list->topLevelItem(i)->text(column);
        rows << row;
    }
    return rows;
}

QString Note(const CompareDialog *dialog)
{
    return dialog->findChild<QLabel *>(QStringLiteral("lblCompared"))->text();
}

const Row kParity = {QStringLiteral("Bar_Decoder / Communication Parameters"),
                     QStringLiteral("Parity"), QStringLiteral("None"), QStringLiteral("Odd")};
const Row kSuffix = {QStringLiteral("Bar_Decoder / Miscellaneous Parameters"),
                     QStringLiteral("Sufix"), QStringLiteral("\"\""), QStringLiteral("\"{CR}\"")};
const Row kLanguage = {QStringLiteral("Magnic_Reader / Miscellaneous Parameters"),
                       QStringLiteral("Language Selection"), QStringLiteral("US English"),
                       QStringLiteral("German")};

} // namespace

class TestCompareDialog : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void compareWithFile_data();
    void compareWithFile();
    void compareWithDevice_data();
    void compareWithDevice();
    void oneExchangeAtATime();

private:
    CompareDialog *Dialog() const
    {
        return m_shell->window->findChild<CompareDialog *>(QStringLiteral("frmCompare"));
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<SimDevice> m_device;
    std::unique_ptr<SimKeyboardWedge> m_wedge;
    std::unique_ptr<TestShell> m_shell;
};

void TestCompareDialog::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_device = std::make_unique<SimDevice>();
    m_wedge = std::make_unique<SimKeyboardWedge>(*m_device);
    m_shell =
        std::make_unique<TestShell>(m_dir->path(), TestShell::Options{.keyboard = m_wedge.get()});
}

void TestCompareDialog::cleanup()
{
    while (QWidget *box = QApplication::activeModalWidget())
        delete box;
    m_shell.reset();
    m_wedge.reset();
    m_device.reset();
}

void TestCompareDialog::compareWithFile_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("page");
    QTest::addColumn<bool>("reader");
    QTest::addColumn<QString>("control");
    // Rows 0 to 2 are the header text and the link settings.
    QTest::newRow("decoder parity, first tab") << 3 << "cfg4" << false << "optCfg41D";
    QTest::newRow("decoder suffix, third tab") << 4 << "cfg6" << false << "txt693";
    QTest::newRow("reader language, other section") << 5 << "magcfg6" << true << "opt61";
}

void TestCompareDialog::compareWithFile()
{
    QFETCH(int, row);
    QFETCH(QString, page);
    QFETCH(bool, reader);
    QFETCH(QString, control);
    // A file of this configuration with three parameters, a header text, the interface and
    // the port changed.
    m_shell->state.link.LinkMode = LinkSettings::kByRs232;
    m_shell->state.link.CommPort = 2;
    HeaderTexts header = m_shell->state.header;
    header.Description = QStringLiteral("Lane 3");
    const QString path = m_dir->filePath(QStringLiteral("other.cfg"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    const Image other = Changed({{"decoder.comm.parity", "Odd"},
                                 {"decoder.misc.suffix", "{CR}"},
                                 {"reader.misc.language", "German"}});
    file.write(WriteConfiguration(header, LinkSettings{.CommPort = 3}, other));
    file.close();

    m_shell->names = {path};
    m_shell->Trigger("mnuFileCompare");
    CompareDialog *dialog = Dialog();
    QVERIFY(dialog);
    QTRY_VERIFY(dialog->isVisible());
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Compare With File"));
    const QList<Row> extras = {
        {QStringLiteral("Header"), QStringLiteral("Description"),
         QLatin1Char('"') + m_shell->state.header.Description + QLatin1Char('"'),
         QStringLiteral("\"Lane 3\"")},
        {QStringLiteral("Link"), QStringLiteral("Interface"), QStringLiteral("By RS232"),
         QStringLiteral("By Keyboard")},
        {QStringLiteral("Link"), QStringLiteral("Port"), QStringLiteral("Com 2"),
         QStringLiteral("Com 3")}};
    QCOMPARE(Rows(dialog), extras + QList<Row>({kParity, kSuffix, kLanguage}));
    QVERIFY2(Note(dialog).contains(QDir::toNativeSeparators(path)), qPrintable(Note(dialog)));
    QVERIFY(Note(dialog).endsWith(QStringLiteral("6 parameters differ.")));
    // Comparing reads; the configuration is what it was.
    QCOMPARE(m_shell->state.images.ConfigImage, FactoryImage());
    QVERIFY(!m_shell->state.images.IsChanged());
    QCOMPARE(m_shell->state.CurrentFile, QStringLiteral("New File"));

    // A double click opens the page (in its section), on the tab of the control, focused.
    auto *list = dialog->findChild<QTreeWidget *>(QStringLiteral("lstCompare"));
    const QRect rect = list->visualItemRect(list->topLevelItem(row));
    // A double click as the window system delivers it: press, release, double click.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    QWidget *shown = m_shell->Page();
    QVERIFY(shown);
    QCOMPARE(shown->objectName(), page);
    QCOMPARE(m_shell->state.MagFlag, reader);
    auto *group = shown->findChild<QButtonGroup *>(control);
    QWidget *expected = group ? group->checkedButton() : shown->findChild<QWidget *>(control);
    QVERIFY(expected);
    QTRY_COMPARE(shown->focusWidget(), expected);
    QVERIFY(expected->isVisible());
    QCOMPARE(m_shell->state.images.ConfigImage, FactoryImage());
    // A byte no page edits opens nothing, and the status bar says why.
    Q_EMIT dialog->EntryChosen(
        {QStringLiteral("image.byte3"), QStringLiteral("Byte 3"), {}, QStringLiteral("Image"), {}});
    QCOMPARE(m_shell->window->statusBar()->currentMessage(),
             QStringLiteral("Byte 3 is shown on no page; only files and the device hold it."));
    QCOMPARE(m_shell->Page(), shown);

    // F1 in the compare window opens the manual at its page.
    auto *f1 = dialog->findChild<QShortcut *>(QStringLiteral("helpShortcut"));
    QVERIFY(f1);
    QCOMPARE(f1->key(), QKeySequence(Qt::Key_F1));
    Q_EMIT f1->activated();
    auto *help = m_shell->window->findChild<HelpWindow *>(QStringLiteral("HelpWindow"));
    QVERIFY(help);
    QCOMPARE(help->Browser()->source().fragment(), QStringLiteral("frmCompare"));
    QCOMPARE(help->Browser()->source().fileName(), QStringLiteral("compare.html"));
    help->close();
}

void TestCompareDialog::compareWithDevice_data()
{
    QTest::addColumn<bool>("serial");
    QTest::addColumn<bool>("readerSection");
    QTest::addColumn<bool>("wrongCheck");
    QTest::addColumn<QList<Row>>("rows");
    QTest::addColumn<QString>("note");
    const QString decoder = QStringLiteral(
        "The decoder section (bytes 0 to 24) differs in 1 parameter; the reader section (bytes "
        "25 to 84) could not be read back and was not compared.");
    QTest::newRow("serial, decoder section")
        << true << false << false << QList<Row>{kParity} << decoder;
    QTest::newRow("serial, reader section")
        << true << true << false << QList<Row>{kLanguage}
        << QStringLiteral("The reader section (bytes 25 to 84) differs in 1 parameter; the "
                          "decoder section (bytes 0 to 24) could not be read back and was not "
                          "compared.");
    QTest::newRow("keyboard, decoder section")
        << false << false << false << QList<Row>{kParity} << decoder;
    QTest::newRow("serial, bad answer")
        << true << false << true << QList<Row>{} << QStringLiteral("Nothing was compared.");
}

void TestCompareDialog::compareWithDevice()
{
    QFETCH(bool, serial);
    QFETCH(bool, readerSection);
    QFETCH(bool, wrongCheck);
    QFETCH(QList<Row>, rows);
    QFETCH(QString, note);
    SimSerialServer server(*m_device);
    QVERIFY(server.OpenPseudoTerminal());
    qputenv("K30CFG_COM1", server.Path().toLocal8Bit());
    auto unset = qScopeGuard([] { qunsetenv("K30CFG_COM1"); });
    m_shell->state.link.LinkMode = serial ? LinkSettings::kByRs232 : LinkSettings::kByKeyboard;
    const Image held =
        Changed({{"decoder.comm.parity", "Odd"}, {"reader.misc.language", "German"}});
    m_device->image = held;
    m_device->section = readerSection ? SimDevice::Section::Reader : SimDevice::Section::Decoder;
    m_device->faults.wrongCheck = wrongCheck;

    BoxAnswerer answerer({QMessageBox::Ok});
    m_shell->Trigger("mnuFileCompareDevice");
    CompareDialog *dialog = Dialog();
    QVERIFY(dialog);
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Compare With Device"));
    QTRY_VERIFY_WITH_TIMEOUT(!dialog->IsExchangeRunning(), 10000);
    QCOMPARE(Rows(dialog), rows);
    QVERIFY2(Note(dialog).endsWith(note), qPrintable(Note(dialog)));
    if (wrongCheck) {
        QTRY_COMPARE(answerer.seen().size(), 1);
        QCOMPARE(answerer.seen()[0].text, QStringLiteral("Upload Failed!"));
        QCOMPARE(answerer.seen()[0].title, QStringLiteral("Upload Message"));
    } else {
        QVERIFY(Note(dialog).startsWith(serial
                                            ? QStringLiteral("Compared with the device on Com 1.")
                                            : QStringLiteral("Compared with the device on the "
                                                             "keyboard path.")));
        QVERIFY(answerer.seen().isEmpty());
    }
    // Nothing changes on either side.
    QCOMPARE(m_shell->state.images.ConfigImage, FactoryImage());
    QVERIFY(!m_shell->state.images.IsChanged());
    QCOMPARE(m_device->image, held);
    QCOMPARE(m_device->DownloadsSaved(), 0);
}

void TestCompareDialog::oneExchangeAtATime()
{
    // The compare window uploads from a device that keeps silent; a download asked for in
    // "Transmit" meanwhile is refused and sends nothing, and so is a second compare while
    // "Transmit" downloads.
    m_shell->state.link.LinkMode = LinkSettings::kByKeyboard;
    m_device->faults.silent = true;
    m_shell->Trigger("mnuFileCompareDevice");
    QTRY_VERIFY(Dialog() && Dialog()->IsExchangeRunning());
    m_shell->Trigger("mnuConfigTransmit");
    const qsizetype written = m_wedge->Written().size();
    BoxAnswerer answerer({QMessageBox::Ok});
    m_shell->window->Pages()
        .CurrentPage()
        ->findChild<QPushButton *>(QStringLiteral("cmdTransmit"))
        ->click();
    QTRY_COMPARE(answerer.seen().size(), 1);
    QCOMPARE(answerer.seen()[0].text, DeviceBusyText());
    QTest::qWait(int(2 * kRepeaterInterval.count()));
    // Only the compare window's upload command went out meanwhile.
    QVERIFY(!m_wedge->Written().mid(written).contains("AAAAA"));
    QVERIFY(!m_wedge->Written().mid(written).contains("BBBBB"));

    Dialog()->close();
    QVERIFY(!Dialog()->IsExchangeRunning());
    m_shell->window->Pages()
        .CurrentPage()
        ->findChild<QPushButton *>(QStringLiteral("cmdTransmit"))
        ->click();
    QTRY_VERIFY(DeviceExchange::AnyRunning());
    m_shell->Trigger("mnuFileCompareDevice");
    QCOMPARE(Note(Dialog()), DeviceBusyText());
    QVERIFY(!Dialog()->IsExchangeRunning());
}

QTEST_MAIN(TestCompareDialog)
#include "tst_comparedialog.moc"
