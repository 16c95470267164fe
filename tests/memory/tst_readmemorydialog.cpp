#include "../shell/boxanswerer.h"
#include "link/ui/readmemorydialog.h"
#include "sim/simdevice.h"
#include "sim/simkeyboardwedge.h"
#include "sim/simserialserver.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

namespace {

struct ShownMessage
{
    QString text;
    QString title;
    bool hasCancel = false;
};

// Runs a real event loop until the condition holds. QTest::qWait sleeps between its rounds,
// which would stretch the pacing of the keyboard path.
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

QStringList Replies(const SimDevice &device)
{
    QStringList replies;
    for (const QString &line : device.Log()) {
        if (line.startsWith(QLatin1String("reply ")))
            replies.append(line.mid(6));
    }
    return replies;
}

// The lines the text area shows for records, each ended by a line break.
QString Lines(const QList<QByteArray> &records)
{
    QString text;
    for (const QByteArray &record : records)
        text += QString::fromLatin1(record) + QLatin1Char('\n');
    return text;
}

constexpr const char *kSixButtons[] = {"CmdDisplay", "CmdClose",  "CmdRead",
                                       "cmdSave",    "cmdSaveAs", "cmdClear"};

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
    void serialClear();
    void windowAndCommandLineFilesAgree();
    void missingPort();
    void keyboardRead();
    void keyboardClear();
    void keyboardNoAcknowledgement_data();
    void keyboardNoAcknowledgement();
    void keyboardReadLimits_data();
    void keyboardReadLimits();
    void closeDuringExchange_data();
    void closeDuringExchange();

private:
    void Open(const MemoryTimings &timings = {});
    void Serve();
    template <typename T> T *Find(const char *name) const
    {
        return m_dialog->findChild<T *>(QLatin1String(name));
    }
    void Click(const char *name) { Find<QAbstractButton>(name)->click(); }
    bool ButtonsEnabled() const;
    ShownMessage Answer(int timeoutMs, bool cancel = false);
    QString Text() const { return Find<QPlainTextEdit>("TxtMemory")->toPlainText(); }

    AppState m_state;
    std::unique_ptr<SimDevice> m_device;
    std::unique_ptr<SimKeyboardWedge> m_wedge;
    std::unique_ptr<SimSerialServer> m_server;
    std::unique_ptr<PageContext> m_context;
    std::unique_ptr<ReadMemoryDialog> m_dialog;
};

void TestReadMemoryDialog::init()
{
    m_state = AppState{};
    m_device = std::make_unique<SimDevice>();
    m_wedge = std::make_unique<SimKeyboardWedge>(*m_device);
    m_context = std::make_unique<PageContext>(PageContext{m_state, m_wedge.get()});
}

void TestReadMemoryDialog::cleanup()
{
    while (QWidget *box = QApplication::activeModalWidget())
        delete box;
    // Nothing is to be asked on the way out.
    m_state.SavedMemoryText.clear();
    if (m_dialog)
        Find<QPlainTextEdit>("TxtMemory")->clear();
    m_dialog.reset();
    m_context.reset();
    m_server.reset();
    m_wedge.reset();
    m_device.reset();
    qunsetenv("K30CFG_COM1");
}

void TestReadMemoryDialog::Open(const MemoryTimings &timings)
{
    m_dialog = std::make_unique<ReadMemoryDialog>(*m_context, nullptr, timings);
    m_dialog->show();
    m_dialog->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_dialog.get()));
}

void TestReadMemoryDialog::Serve()
{
    m_server = std::make_unique<SimSerialServer>(*m_device);
    QVERIFY(m_server->OpenPseudoTerminal());
    qputenv("K30CFG_COM1", m_server->Path().toLocal8Bit());
    m_state.link.LinkMode = LinkSettings::kByRs232;
}

bool TestReadMemoryDialog::ButtonsEnabled() const
{
    bool all = true;
    bool any = false;
    for (const char *name : kSixButtons) {
        const bool enabled = Find<QPushButton>(name)->isEnabled();
        all = all && enabled;
        any = any || enabled;
    }
    if (all != any)
        qWarning("the six buttons disagree");
    return all;
}

ShownMessage TestReadMemoryDialog::Answer(int timeoutMs, bool cancel)
{
    auto modalBox = [] { return qobject_cast<QMessageBox *>(QApplication::activeModalWidget()); };
    WaitUntil([&] { return modalBox() != nullptr; }, timeoutMs);
    QMessageBox *box = modalBox();
    if (!box)
        return {QStringLiteral("<no message>"), {}, false};
    ShownMessage shown{box->text(), box->windowTitle(),
                       box->button(QMessageBox::Cancel) != nullptr};
    box->button(cancel ? QMessageBox::Cancel : QMessageBox::Ok)->click();
    WaitUntil([&] { return modalBox() != box; }, 1000);
    return shown;
}

void TestReadMemoryDialog::opening_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QStringList>("checked");
    QTest::newRow("by keyboard") << 0
                                 << QStringList{QStringLiteral("OptMode_0"),
                                                QStringLiteral("OptPort_0"),
                                                QStringLiteral("optBaud_3")};
    QTest::newRow("by RS232") << 1
                              << QStringList{QStringLiteral("OptMode_1"),
                                             QStringLiteral("OptPort_0"),
                                             QStringLiteral("optBaud_3")};
}

void TestReadMemoryDialog::opening()
{
    QFETCH(int, mode);
    QFETCH(QStringList, checked);
    m_state.link.LinkMode = mode;
    Open();
    QCOMPARE(m_dialog->objectName(), QStringLiteral("frmReadMemory"));
    QCOMPARE(m_dialog->windowTitle(), QStringLiteral("Read Decoder Memory"));
    QVERIFY(Find<QPlainTextEdit>("TxtMemory")->isHidden());
    for (const QString &name : checked)
        QVERIFY2(Find<QRadioButton>(name.toLatin1().constData())->isChecked(), qPrintable(name));
    QCOMPARE(Find<QWidget>("FraPort")->isEnabled(), mode == 1);
    const QStringList captions = {QStringLiteral("&Option"),      QStringLiteral("&Exit"),
                                  QStringLiteral("&Read Memory"), QStringLiteral("&Save"),
                                  QStringLiteral("Save &As"),     QStringLiteral("&Clear Memory")};
    for (int i = 0; i < 6; ++i)
        QCOMPARE(Find<QPushButton>(kSixButtons[i])->text(), captions[i]);
    // A choice made here is the shared setting the transmit dialog shows.
    Click(mode == 1 ? "OptMode_0" : "OptMode_1");
    QCOMPARE(m_state.link.LinkMode, 1 - mode);
}

void TestReadMemoryDialog::cancelSendsNothing_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("question");
    QTest::addColumn<QString>("title");
    QTest::newRow("read") << QStringLiteral("CmdRead")
                          << QStringLiteral("This will read decoder memory data!")
                          << QStringLiteral("Read Memory Message");
    QTest::newRow("clear") << QStringLiteral("cmdClear")
                           << QStringLiteral("This will Clear decoder memory data!")
                           << QStringLiteral("Clear Memory Message");
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
    const ShownMessage shown = Answer(1000, true);
    QCOMPARE(shown.text, question);
    QCOMPARE(shown.title, title);
    QVERIFY(shown.hasCancel);
    QTest::qWait(100);
    QVERIFY(m_device->Log().isEmpty());
    QCOMPARE(Text(), QStringLiteral("kept"));
    QVERIFY(ButtonsEnabled());
    QCOMPARE(m_device->memory, SimDevice::SampleMemory());
}

void TestReadMemoryDialog::serialRead()
{
    Serve();
    QList<QByteArray> records;
    for (int i = 0; i < 10; ++i)
        records.append(QByteArray("RECORD-") + QByteArray::number(i) + QByteArray(12, 'x'));
    m_device->memory = records;
    Open();
    Click("CmdRead");
    QCOMPARE(Answer(1000).text, QStringLiteral("This will read decoder memory data!"));
    QVERIFY(!ButtonsEnabled());
    const ShownMessage shown = Answer(5000);
    QCOMPARE(shown.text, QStringLiteral("   Read Decoder Memory OK!\r\r"));
    QCOMPARE(shown.title, QStringLiteral("Read Memory Message"));
    QVERIFY(!shown.hasCancel);
    QVERIFY(ButtonsEnabled());
    QVERIFY(Find<QPlainTextEdit>("TxtMemory")->isVisible());
    QCOMPARE(Text(), Lines(records));
    // Ten records of 21 bytes and the end marker: four blocks, the last answered "P".
    QTRY_COMPARE(Replies(*m_device), (QStringList{QStringLiteral("S"), QStringLiteral("S"),
                                                  QStringLiteral("S"), QStringLiteral("P")}));
    QCOMPARE(Find<QLabel>("lblCount")->text(), QStringLiteral("Blocks: 4\nRecords: 10"));
    QVERIFY(m_state.link.UploadMode);
    // The port is free again once the exchange has ended.
    QSerialPort port(m_server->Path());
    QVERIFY(port.open(QIODevice::ReadWrite));
}

void TestReadMemoryDialog::serialSilent()
{
    Serve();
    m_device->faults.silent = true;
    Open();
    Find<QPlainTextEdit>("TxtMemory")->setPlainText(QStringLiteral("old text"));
    Click("CmdRead");
    Answer(1000);
    QElapsedTimer clock;
    clock.start();
    // The text area is emptied and shown as soon as the command is sent.
    QVERIFY(Find<QPlainTextEdit>("TxtMemory")->isVisible());
    QVERIFY(Text().isEmpty());
    const ShownMessage shown = Answer(5000);
    QCOMPARE(shown.text, QStringLiteral("Time Out Error!"));
    QCOMPARE(shown.title, QStringLiteral("Read Memory Message"));
    QVERIFY2(clock.elapsed() >= 2950, qPrintable(QString::number(clock.elapsed())));
    QTRY_COMPARE(Replies(*m_device), QStringList{QStringLiteral("E")});
}

void TestReadMemoryDialog::serialBadBlock()
{
    Serve();
    QList<QByteArray> records;
    for (int i = 0; i < 6; ++i)
        records.append(QByteArray(28, char('a' + i)));
    m_device->memory = records;
    m_device->faults.badBlock = 1;
    Open();
    Click("CmdRead");
    Answer(1000);
    const ShownMessage shown = Answer(5000);
    QCOMPARE(shown.text, QStringLiteral("Read Decoder Memory Failed!"));
    QCOMPARE(shown.title, QStringLiteral("Read Memory Message"));
    // The two records of the first block stay.
    QCOMPARE(Text(), Lines(records.first(2)));
    QTRY_COMPARE(Replies(*m_device), (QStringList{QStringLiteral("S"), QStringLiteral("E")}));
}

void TestReadMemoryDialog::serialClear()
{
    Serve();
    Open();
    Click("cmdClear");
    Answer(1000);
    ShownMessage shown = Answer(5000);
    QCOMPARE(shown.text, QStringLiteral("Clear Decoder Memory OK!"));
    QCOMPARE(shown.title, QStringLiteral("Clear Memory Message"));
    QVERIFY(m_device->Log().contains(QStringLiteral("received 02 83 03 82")));
    QVERIFY(m_device->memory.isEmpty());
    QVERIFY(!m_state.link.UploadMode);
    // The text area is not touched by a clear.
    QVERIFY(Find<QPlainTextEdit>("TxtMemory")->isHidden());

    // A cleared memory reads as one empty line, answered "P".
    Click("CmdRead");
    Answer(1000);
    QCOMPARE(Answer(5000).text, QStringLiteral("   Read Decoder Memory OK!\r\r"));
    QCOMPARE(Text(), QStringLiteral("\n"));
    QTRY_COMPARE(Replies(*m_device), QStringList{QStringLiteral("P")});

    m_device->faults.refuseClear = true;
    Click("cmdClear");
    Answer(1000);
    shown = Answer(5000);
    QCOMPARE(shown.text, QStringLiteral("Clear Decoder Memory Failed!"));
    QCOMPARE(shown.title, QStringLiteral("Clear Memory Message"));

    m_device->faults.silent = true;
    Open(MemoryTimings{.clearTimeout = std::chrono::milliseconds(300)});
    Click("cmdClear");
    Answer(1000);
    shown = Answer(3000);
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
    m_device->memory = records;
    QTemporaryDir dir;
    const QString windowFile = dir.filePath(QStringLiteral("window.txt"));
    const QString cliFile = dir.filePath(QStringLiteral("cli.txt"));
    auto contents = [](const QString &path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    };

    Open();
    m_dialog->SetFileNameAsker([&](QWidget *, const QString &) { return windowFile; });
    Click("CmdRead");
    Answer(1000);
    QCOMPARE(Answer(5000).text, QStringLiteral("   Read Decoder Memory OK!\r\r"));
    Click("cmdSaveAs");
    QCOMPARE(contents(windowFile), expected);

    QProcess cli;
    QSignalSpy cliDone(&cli, &QProcess::finished);
    cli.start(QStringLiteral(K30_CLI), {QStringLiteral("read-memory"), QStringLiteral("--port"),
                                        m_server->Path(), QStringLiteral("-o"), cliFile});
    QVERIFY(cliDone.wait(10000));
    QCOMPARE(cli.exitCode(), 0);
    QCOMPARE(contents(cliFile), expected);

    {
        BoxAnswerer unasked({QMessageBox::Cancel});
        QVERIFY(m_dialog->close());
        QVERIFY(unasked.seen().isEmpty());
    }
    m_dialog->show();
    QTest::keyClick(Find<QPlainTextEdit>("TxtMemory"), Qt::Key_X);
    BoxAnswerer asked({QMessageBox::Cancel});
    QVERIFY(!m_dialog->close());
    QCOMPARE(asked.texts(), QStringList{QStringLiteral(
                                "Memory Data had been changed,do you want to save your file?")});
}

void TestReadMemoryDialog::missingPort()
{
    qputenv("K30CFG_COM4", "/dev/k30-no-such-port");
    auto unset = qScopeGuard([] { qunsetenv("K30CFG_COM4"); });
    m_state.link.LinkMode = LinkSettings::kByRs232;
    m_state.link.CommPort = 4;
    Open();
    Click("CmdRead");
    Answer(1000);
    const ShownMessage shown = Answer(2000);
    QCOMPARE(shown.text, QStringLiteral("COM 4: not available."));
    QVERIFY(shown.title.isEmpty());
    QVERIFY(ButtonsEnabled());
    QVERIFY(Find<QPlainTextEdit>("TxtMemory")->isHidden());
}

void TestReadMemoryDialog::keyboardRead()
{
    Open();
    Find<QPlainTextEdit>("TxtMemory")->setPlainText(QStringLiteral("old text"));
    Click("CmdRead");
    Answer(1000);
    QVERIFY(!ButtonsEnabled());
    QVERIFY(WaitUntil([this] { return ButtonsEnabled(); }, 5000));
    QCOMPARE(Text(), Lines(SimDevice::SampleMemory()));
    QCOMPARE(m_wedge->Written(), QByteArray("MMMMM"));
    // Once after the acknowledgement, once after the data.
    QCOMPARE(m_wedge->MaskReleases(), 2);
    QTest::qWait(100);
    QVERIFY2(QApplication::activeModalWidget() == nullptr, "a keyboard read shows no message");
}

void TestReadMemoryDialog::keyboardClear()
{
    // The acknowledgement may come in lower case.
    m_device->faults.lowerCase = true;
    Open();
    Click("cmdClear");
    Answer(1000);
    const ShownMessage shown = Answer(3000);
    QCOMPARE(shown.text, QStringLiteral("Clear Decoder Memory OK!"));
    QCOMPARE(shown.title, QStringLiteral("Clear Memory Message"));
    QCOMPARE(m_wedge->Written(), QByteArray("NNNNN"));
    QCOMPARE(m_wedge->MaskReleases(), 2);
    QVERIFY(m_device->memory.isEmpty());
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
    m_device->faults.silent = true;
    // The count of repetitions is what matters here, not their 150 ms spacing.
    Open(MemoryTimings{.repeaterInterval = std::chrono::milliseconds(20)});
    Click(button.toLatin1().constData());
    Answer(1000);
    const ShownMessage shown = Answer(3000);
    QCOMPARE(shown.text, QStringLiteral("Times Out Error"));
    QCOMPARE(shown.title, title);
    QCOMPARE(m_wedge->Written(), command.repeated(15));
    QCOMPARE(m_wedge->MaskReleases(), 1);
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
    m_device->faults.endlessMemory = true;
    m_wedge->SetTypingInterval(typingMs);
    Open(MemoryTimings{.keyboardDataTimeout = std::chrono::milliseconds(dataTimeoutMs)});
    Click("CmdRead");
    Answer(1000);
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
    QCOMPARE(m_wedge->MaskReleases(), 2);
}

void TestReadMemoryDialog::closeDuringExchange_data()
{
    QTest::addColumn<bool>("serial");
    QTest::newRow("serial") << true;
    QTest::newRow("keyboard") << false;
}

void TestReadMemoryDialog::closeDuringExchange()
{
    QFETCH(bool, serial);
    m_device->faults.silent = true;
    if (serial)
        Serve();
    Open();
    Click("CmdRead");
    Answer(1000);
    QTest::qWait(300);
    QVERIFY(m_dialog->IsExchangeRunning());
    QVERIFY(m_dialog->close());
    QVERIFY(!m_dialog->IsExchangeRunning());
    const QByteArray written = m_wedge->Written();
    QTest::qWait(400);
    // Nothing goes on after the dialog closed: no message, no more commands.
    QVERIFY(QApplication::activeModalWidget() == nullptr);
    QCOMPARE(m_wedge->Written(), written);
    if (serial) {
        // The device in the middle of a read is told to stop, and the port is free.
        QTRY_COMPARE(Replies(*m_device), QStringList{QStringLiteral("E")});
        QSerialPort port(m_server->Path());
        QVERIFY(port.open(QIODevice::ReadWrite));
    }
}

QTEST_MAIN(TestReadMemoryDialog)
#include "tst_readmemorydialog.moc"
