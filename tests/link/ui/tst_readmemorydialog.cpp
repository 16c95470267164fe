#include "support/boxanswerer.h"
#include "support/clirun.h"
#include "support/files.h"
#include "support/linkdialogfixture.h"
#include "support/messageboxes.h"

#include "link/ui/readmemorydialog.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

// The lines the text area shows for records, each ended by a line break.
QString Lines(const QList<QByteArray> &records)
{
    QString text;
    for (const QByteArray &record : records)
        text += QString::fromLatin1(record) + QLatin1Char('\n');
    return text;
}

} // namespace

class TestReadMemoryDialog : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void opening_data();
    void opening();
    void cancelSendsNothing_data();
    void cancelSendsNothing();
    void serialRead();
    void serialSilent();
    void serialBadBlock();
    void serialFailedRecord();
    void serialClear();
    void windowAndCommandLineFilesAgree();
    void keyboardRead();
    void keyboardClear();
    void keyboardNoAcknowledgement_data();
    void keyboardNoAcknowledgement();
    void keyboardReadLimits_data();
    void keyboardReadLimits();

private:
    void Open(const MemoryTimings &timings = {}) { m_f->Open<ReadMemoryDialog>(timings); }
    // The device on "Com 1", chosen in the link settings.
    void Serve()
    {
        m_f->k30.AttachToCom1();
        m_f->state.link.LinkMode = LinkSettings::kByRs232;
    }
    template <typename T> T *Find(const char *name) const { return m_f->Find<T>(name); }
    void Click(const char *name) { m_f->Click(name); }
    bool ButtonsEnabled() const { return m_f->ButtonsEnabled(); }
    QString Text() const { return Find<QPlainTextEdit>("TxtMemory")->toPlainText(); }
    // Clicks a button, answers its question with OK and returns the outcome's message.
    ShownMessage Answered(const char *button)
    {
        Click(button);
        AnswerBox(1000);
        return AnswerBox(5000);
    }

    std::unique_ptr<LinkDialogFixture> m_f;
};

void TestReadMemoryDialog::init()
{
    m_f = std::make_unique<LinkDialogFixture>(kMemoryButtons);
    QVERIFY(m_f->k30.IsOpen());
}

void TestReadMemoryDialog::cleanup()
{
    // Nothing is to be asked on the way out.
    m_f->state.SavedMemoryText.clear();
    if (m_f->dialog)
        Find<QPlainTextEdit>("TxtMemory")->clear();
    m_f.reset();
}

void TestReadMemoryDialog::opening_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QStringList>("checked");
    QTest::newRow("by keyboard") << 0
                                 << QStringLiteral("OptMode_0 OptPort_0 optBaud_3").split(u' ');
    QTest::newRow("by RS232") << 1 << QStringLiteral("OptMode_1 OptPort_0 optBaud_3").split(u' ');
}

void TestReadMemoryDialog::opening()
{
    QFETCH(int, mode);
    QFETCH(QStringList, checked);
    m_f->state.link.LinkMode = mode;
    Open();
    QCOMPARE(m_f->dialog->objectName(), QStringLiteral("frmReadMemory"));
    QCOMPARE(m_f->dialog->windowTitle(), QStringLiteral("Read Decoder Memory"));
    QVERIFY(Find<QPlainTextEdit>("TxtMemory")->isHidden());
    for (const QString &name : checked)
        QVERIFY2(Find<QRadioButton>(name.toLatin1().constData())->isChecked(), qPrintable(name));
    QCOMPARE(Find<QWidget>("FraPort")->isEnabled(), mode == 1);
    const QStringList captions = {QStringLiteral("&Option"),      QStringLiteral("&Exit"),
                                  QStringLiteral("&Read Memory"), QStringLiteral("&Save"),
                                  QStringLiteral("Save &As"),     QStringLiteral("&Clear Memory")};
    for (int i = 0; i < 6; ++i)
        QCOMPARE(Find<QPushButton>(kMemoryButtons[i])->text(), captions[i]);
    // A choice made here is the shared setting the transmit dialog shows.
    Click(mode == 1 ? "OptMode_0" : "OptMode_1");
    QCOMPARE(m_f->state.link.LinkMode, 1 - mode);
}

void TestReadMemoryDialog::cancelSendsNothing_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("question");
    QTest::addColumn<QString>("title");
    QTest::newRow("read") << "CmdRead"
                          << "This will read decoder memory data!"
                          << "Read Memory Message";
    QTest::newRow("clear") << "cmdClear"
                           << "This will Clear decoder memory data!"
                           << "Clear Memory Message";
}

void TestReadMemoryDialog::cancelSendsNothing()
{
    QFETCH(QString, button);
    QFETCH(QString, question);
    QFETCH(QString, title);
    Serve();
    Open();
    Find<QPlainTextEdit>("TxtMemory")->setPlainText(QStringLiteral("kept"));
    Click(button.toLatin1().constData());
    const ShownMessage shown = AnswerBox(1000, true);
    QCOMPARE(shown.text, question);
    QCOMPARE(shown.title, title);
    QVERIFY(shown.hasCancel);
    QTest::qWait(100);
    QVERIFY(m_f->k30.device.Log().isEmpty());
    QCOMPARE(Text(), QStringLiteral("kept"));
    QVERIFY(ButtonsEnabled());
    QCOMPARE(m_f->k30.device.memory, SimDevice::SampleMemory());
}

void TestReadMemoryDialog::serialRead()
{
    Serve();
    QList<QByteArray> records;
    for (int i = 0; i < 10; ++i)
        records.append(QByteArray("RECORD-") + QByteArray::number(i) + QByteArray(12, 'x'));
    m_f->k30.device.memory = records;
    Open();
    Click("CmdRead");
    QCOMPARE(AnswerBox(1000).text, QStringLiteral("This will read decoder memory data!"));
    QVERIFY(!ButtonsEnabled());
    const ShownMessage shown = AnswerBox(5000);
    QCOMPARE(shown.text, QStringLiteral("   Read Decoder Memory OK!\r\r"));
    QCOMPARE(shown.title, QStringLiteral("Read Memory Message"));
    QVERIFY(!shown.hasCancel);
    QVERIFY(ButtonsEnabled());
    QVERIFY(Find<QPlainTextEdit>("TxtMemory")->isVisible());
    QCOMPARE(Text(), Lines(records));
    // Ten records of 21 bytes and the end marker: four blocks, the last answered "P".
    QTRY_COMPARE(m_f->k30.Replies(), (QStringList{QStringLiteral("S"), QStringLiteral("S"),
                                                  QStringLiteral("S"), QStringLiteral("P")}));
    QCOMPARE(Find<QLabel>("lblCount")->text(), QStringLiteral("Blocks: 4\nRecords: 10"));
    QVERIFY(m_f->state.link.UploadMode);
    // The port is free again once the exchange has ended.
    QVERIFY(m_f->k30.PortIsFree());
}

void TestReadMemoryDialog::serialSilent()
{
    Serve();
    m_f->k30.device.faults.silent = true;
    Open();
    Find<QPlainTextEdit>("TxtMemory")->setPlainText(QStringLiteral("old text"));
    Click("CmdRead");
    AnswerBox(1000);
    QElapsedTimer clock;
    clock.start();
    // The text area is emptied and shown as soon as the command is sent.
    QVERIFY(Find<QPlainTextEdit>("TxtMemory")->isVisible());
    QVERIFY(Text().isEmpty());
    const ShownMessage shown = AnswerBox(5000);
    QCOMPARE(shown.text, QStringLiteral("Time Out Error!"));
    QCOMPARE(shown.title, QStringLiteral("Read Memory Message"));
    QVERIFY2(clock.elapsed() >= 2950, qPrintable(QString::number(clock.elapsed())));
    QTRY_COMPARE(m_f->k30.Replies(), QStringList{QStringLiteral("E")});
}

void TestReadMemoryDialog::serialBadBlock()
{
    Serve();
    QList<QByteArray> records;
    for (int i = 0; i < 6; ++i)
        records.append(QByteArray(28, char('a' + i)));
    m_f->k30.device.memory = records;
    m_f->k30.device.faults.badBlock = 1;
    Open();
    const ShownMessage shown = Answered("CmdRead");
    QCOMPARE(shown.text, QStringLiteral("Read Decoder Memory Failed!"));
    QCOMPARE(shown.title, QStringLiteral("Read Memory Message"));
    // The two records of the first block stay.
    QCOMPARE(Text(), Lines(records.first(2)));
    QTRY_COMPARE(m_f->k30.Replies(), (QStringList{QStringLiteral("S"), QStringLiteral("E")}));
}

// A record that failed its check shows, marked, in the text area and the file; the message
// says how many failed, and a clear asks with a warning until a read gets every record good.
void TestReadMemoryDialog::serialFailedRecord()
{
    Serve();
    m_f->k30.device.faults.badRecord = 1;
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("scans.txt"));
    m_f->Open<ReadMemoryDialog>()->SetFileNameAsker(
        [&](QWidget *, const QString &) { return file; });
    const ShownMessage shown = Answered("CmdRead");
    QCOMPARE(shown.text, QStringLiteral("Read Decoder Memory: 1 of 4 records failed its check! It "
                                        "is kept as received, on a line marked FAILED CHECK. Read "
                                        "the memory again before clearing it."));
    QCOMPARE(shown.title, QStringLiteral("Read Memory Message"));
    const QString marked =
        QChar(0) + QStringLiteral("FAILED CHECK (length 17, check 0x16): K30-SAMPLE-0002");
    QCOMPARE(Text().split(QLatin1Char('\n'))[1], marked);
    Click("cmdSaveAs");
    QCOMPARE(Contents(file),
             "4006381333931\r\n" + marked.toLatin1() + "\r\nHELLO WORLD\r\n9780201633610\r\n\r\n");

    const QString clear = QStringLiteral("This will Clear decoder memory data!");
    Click("cmdClear");
    QCOMPARE(AnswerBox(1000, true).text,
             clear + QStringLiteral("\n\nThe last read found 1 record that failed its check. The "
                                    "decoder's memory holds the only copy: read it again before "
                                    "clearing it."));

    // A failed read does not lift the warning; a read with every record good does.
    m_f->k30.device.faults.badRecord = -1;
    m_f->k30.device.faults.badBlock = 0;
    QCOMPARE(Answered("CmdRead").text, QStringLiteral("Read Decoder Memory Failed!"));
    Click("cmdClear");
    QVERIFY(AnswerBox(1000, true).text.startsWith(clear + QStringLiteral("\n\nThe last read")));
    m_f->k30.device.faults.badBlock = -1;
    QCOMPARE(Answered("CmdRead").text, QStringLiteral("   Read Decoder Memory OK!\r\r"));
    Click("cmdClear");
    QCOMPARE(AnswerBox(1000, true).text, clear);
}

void TestReadMemoryDialog::serialClear()
{
    Serve();
    Open();
    ShownMessage shown = Answered("cmdClear");
    QCOMPARE(shown.text, QStringLiteral("Clear Decoder Memory OK!"));
    QCOMPARE(shown.title, QStringLiteral("Clear Memory Message"));
    QVERIFY(m_f->k30.device.Log().contains(QStringLiteral("received 02 83 03 82")));
    QVERIFY(m_f->k30.device.memory.isEmpty());
    QVERIFY(!m_f->state.link.UploadMode);
    // The text area is not touched by a clear.
    QVERIFY(Find<QPlainTextEdit>("TxtMemory")->isHidden());

    // A cleared memory reads as one empty line, answered "P".
    QCOMPARE(Answered("CmdRead").text, QStringLiteral("   Read Decoder Memory OK!\r\r"));
    QCOMPARE(Text(), QStringLiteral("\n"));
    QTRY_COMPARE(m_f->k30.Replies(), QStringList{QStringLiteral("P")});

    m_f->k30.device.faults.refuseClear = true;
    shown = Answered("cmdClear");
    QCOMPARE(shown.text, QStringLiteral("Clear Decoder Memory Failed!"));
    QCOMPARE(shown.title, QStringLiteral("Clear Memory Message"));

    m_f->k30.device.faults.silent = true;
    Open(MemoryTimings{.clearTimeout = std::chrono::milliseconds(300)});
    shown = Answered("cmdClear");
    QCOMPARE(shown.text, QStringLiteral("Time Out Error!"));
    QCOMPARE(shown.title, QStringLiteral("Clear Memory Message"));
    QVERIFY(ButtonsEnabled());
}

// Records holding every byte 0x01 to 0xFF, CR, LF and the no-break space among them, are
// saved by the window exactly as k30cfg-cli writes them: each record's bytes, CR LF, and the
// final CR LF. Saved unedited, the text is not asked about on closing; after an edit it is.
void TestReadMemoryDialog::windowAndCommandLineFilesAgree()
{
    Serve();
    QList<QByteArray> records;
    QByteArray expected;
    for (int first = 0x01; first <= 0xFF; first += 16) {
        QByteArray record;
        for (int byte = first; byte < first + 16 && byte <= 0xFF; ++byte)
            record.append(char(byte));
        records.append(record);
        expected += record + "\r\n";
    }
    expected += "\r\n";
    m_f->k30.device.memory = records;
    QTemporaryDir dir;
    const QString windowFile = dir.filePath(QStringLiteral("window.txt"));
    const QString cliFile = dir.filePath(QStringLiteral("cli.txt"));

    m_f->Open<ReadMemoryDialog>()->SetFileNameAsker(
        [&](QWidget *, const QString &) { return windowFile; });
    QCOMPARE(Answered("CmdRead").text, QStringLiteral("   Read Decoder Memory OK!\r\r"));
    Click("cmdSaveAs");
    QCOMPARE(Contents(windowFile), expected);

    const CliRun cli = Cli({QStringLiteral("read-memory"), QStringLiteral("--port"),
                            m_f->k30.Path(), QStringLiteral("-o"), cliFile});
    QCOMPARE(cli.code, 0);
    QCOMPARE(Contents(cliFile), expected);

    {
        BoxAnswerer unasked({QMessageBox::Cancel});
        QVERIFY(m_f->dialog->close());
        QVERIFY(unasked.seen().isEmpty());
    }
    m_f->dialog->show();
    QTest::keyClick(Find<QPlainTextEdit>("TxtMemory"), Qt::Key_X);
    BoxAnswerer asked({QMessageBox::Cancel});
    QVERIFY(!m_f->dialog->close());
    QCOMPARE(asked.texts(), QStringList{QStringLiteral(
                                "Memory Data had been changed,do you want to save your file?")});
}

void TestReadMemoryDialog::keyboardRead()
{
    Open();
    Find<QPlainTextEdit>("TxtMemory")->setPlainText(QStringLiteral("old text"));
    Click("CmdRead");
    AnswerBox(1000);
    QVERIFY(!ButtonsEnabled());
    QVERIFY(WaitUntil([this] { return ButtonsEnabled(); }, 5000));
    QCOMPARE(Text(), Lines(SimDevice::SampleMemory()));
    QCOMPARE(m_f->k30.wedge.Written(), QByteArray("MMMMM"));
    // Once after the acknowledgement, once after the data.
    QCOMPARE(m_f->k30.wedge.MaskReleases(), 2);
    QTest::qWait(100);
    QVERIFY2(QApplication::activeModalWidget() == nullptr, "a keyboard read shows no message");
}

void TestReadMemoryDialog::keyboardClear()
{
    // The acknowledgement may come in lower case.
    m_f->k30.device.faults.lowerCase = true;
    Open();
    const ShownMessage shown = Answered("cmdClear");
    QCOMPARE(shown.text, QStringLiteral("Clear Decoder Memory OK!"));
    QCOMPARE(shown.title, QStringLiteral("Clear Memory Message"));
    QCOMPARE(m_f->k30.wedge.Written(), QByteArray("NNNNN"));
    QCOMPARE(m_f->k30.wedge.MaskReleases(), 2);
    QVERIFY(m_f->k30.device.memory.isEmpty());
    QVERIFY(Find<QPlainTextEdit>("TxtMemory")->isHidden());
}

void TestReadMemoryDialog::keyboardNoAcknowledgement_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<QString>("title");
    QTest::newRow("read") << QStringLiteral("CmdRead") << QByteArray("MMMMM")
                          << QStringLiteral("Read Decoder Memory Message");
    QTest::newRow("clear") << QStringLiteral("cmdClear") << QByteArray("NNNNN")
                           << QStringLiteral("Clear Decoder Memory Message");
}

void TestReadMemoryDialog::keyboardNoAcknowledgement()
{
    QFETCH(QString, button);
    QFETCH(QByteArray, command);
    QFETCH(QString, title);
    m_f->k30.device.faults.silent = true;
    // The count of repetitions is what matters here, not their 150 ms spacing. A command takes
    // longer to type than the interval, as on a busy PC: none is cut short.
    Open(MemoryTimings{.repeaterInterval = std::chrono::milliseconds(20),
                       .bytePause = std::chrono::milliseconds(6)});
    Click(button.toLatin1().constData());
    AnswerBox(1000);
    const ShownMessage shown = AnswerBox(3000);
    QCOMPARE(shown.text, QStringLiteral("Times Out Error"));
    QCOMPARE(shown.title, title);
    QCOMPARE(m_f->k30.wedge.Written(), command.repeated(15));
    QCOMPARE(m_f->k30.wedge.MaskReleases(), 1);
    QVERIFY(ButtonsEnabled());
}

void TestReadMemoryDialog::keyboardReadLimits_data()
{
    QTest::addColumn<int>("typingMs");
    QTest::addColumn<int>("dataTimeoutMs");
    QTest::addColumn<bool>("overLimit");
    QTest::newRow("more than 3000 characters") << 0 << 20000 << true;
    QTest::newRow("time-out after the acknowledgement") << 10 << 400 << false;
}

void TestReadMemoryDialog::keyboardReadLimits()
{
    QFETCH(int, typingMs);
    QFETCH(int, dataTimeoutMs);
    QFETCH(bool, overLimit);
    m_f->k30.device.faults.endlessMemory = true;
    m_f->k30.wedge.SetTypingInterval(typingMs);
    Open(MemoryTimings{.keyboardDataTimeout = std::chrono::milliseconds(dataTimeoutMs)});
    Click("CmdRead");
    AnswerBox(1000);
    QElapsedTimer clock;
    QVERIFY(WaitUntil([this] { return !Text().isEmpty(); }, 3000));
    clock.start();
    QVERIFY(WaitUntil([this] { return ButtonsEnabled(); }, 15000));
    const QString count = Find<QLabel>("lblCount")->text();
    if (overLimit) {
        QCOMPARE(count, QStringLiteral("Characters: 3001"));
    } else {
        QVERIFY2(clock.elapsed() < dataTimeoutMs + 300,
                 qPrintable(QString::number(clock.elapsed())));
        const int typed = count.section(QLatin1Char(' '), 1).toInt();
        QVERIFY2(typed > 0 && typed < 3000, qPrintable(count));
    }
    QCOMPARE(m_f->k30.wedge.MaskReleases(), 2);
}

QTEST_MAIN(TestReadMemoryDialog)
#include "tst_readmemorydialog.moc"
