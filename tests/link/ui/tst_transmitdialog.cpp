#include "support/environmentguard.h"
#include "support/images.h"
#include "support/linkdialogfixture.h"
#include "support/messageboxes.h"

#include "link/ui/transmitdialog.h"
#include "link/wire/keyboardtext.h"

#include <QElapsedTimer>
#include <QGroupBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <memory>

class TestTransmitDialog : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void opening_data();
    void opening();
    void optionCaptions();
    void settingsHandlers();
    void portToolTips();
    void keyboardDownload_data();
    void keyboardDownload();
    void keyboardSilent();
    void keyboardUpload_data();
    void keyboardUpload();
    void uploadCancelled();
    void keyboardVersion();
    void keyboardShortUpload();
    void keyboardRefusedDownload();
    void serialExchanges();

private:
    void Open() { m_f->Open<TransmitDialog>(); }
    template <typename T> T *Find(const char *name) const { return m_f->Find<T>(name); }
    void Click(const char *name) { m_f->Click(name); }
    bool ButtonsEnabled() const { return m_f->ButtonsEnabled(); }

    std::unique_ptr<LinkDialogFixture> m_f;
};

void TestTransmitDialog::init()
{
    m_f = std::make_unique<LinkDialogFixture>(kTransmitButtons);
    QVERIFY(m_f->k30.IsOpen());
}

void TestTransmitDialog::cleanup()
{
    m_f.reset();
}

void TestTransmitDialog::opening_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("baud");
    QTest::addColumn<QString>("frame");
    QTest::addColumn<bool>("save");
    QTest::addColumn<QStringList>("checked");
    QTest::newRow("start values") << 0 << 1 << QStringLiteral("9600") << QStringLiteral("N,8,1 ")
                                  << true << QStringList{QStringLiteral("OptMode_0"),
                                                         QStringLiteral("OptPort_0"),
                                                         QStringLiteral("optBaud_3"),
                                                         QStringLiteral("optDatabits_1"),
                                                         QStringLiteral("optStopbits_0"),
                                                         QStringLiteral("Option1_1")};
    QTest::newRow("RS232 on Com 3")
        << 1 << 3 << QStringLiteral("1200") << QStringLiteral("N,7,2 ") << false
        << QStringList{QStringLiteral("OptMode_1"),     QStringLiteral("OptPort_2"),
                       QStringLiteral("optBaud_0"),     QStringLiteral("optDatabits_0"),
                       QStringLiteral("optStopbits_1"), QStringLiteral("Option1_0")};
}

void TestTransmitDialog::opening()
{
    QFETCH(int, mode);
    QFETCH(int, port);
    QFETCH(QString, baud);
    QFETCH(QString, frame);
    QFETCH(bool, save);
    QFETCH(QStringList, checked);
    LinkSettings &link = m_f->state.link;
    link.LinkMode = mode;
    link.CommPort = port;
    link.BaudSetting = baud;
    link.FrameSetting = frame;
    link.SaveFlag = save;
    Open();
    QCOMPARE(m_f->dialog->objectName(), QStringLiteral("frmTransmit"));
    QCOMPARE(m_f->dialog->windowTitle(), QStringLiteral("Transmit"));
    for (const QString &name : checked)
        QVERIFY2(Find<QRadioButton>(name.toLatin1().constData())->isChecked(), qPrintable(name));
    for (const char *name : {"FraPort", "Frame2", "Frame3", "Frame4"})
        QCOMPARE(Find<QGroupBox>(name)->isEnabled(), mode == 1);
    QVERIFY(Find<QGroupBox>("Frame5")->isEnabled());
    QVERIFY(Find<QProgressBar>("ProgressBar1")->isHidden());
    // Opening shows the settings; it does not change them.
    QCOMPARE(link.LinkMode, mode);
    QCOMPARE(link.CommPort, port);
    QCOMPARE(link.BaudSetting, baud);
    QCOMPARE(link.FrameSetting, frame);
    QCOMPARE(link.SaveFlag, save);
}

void TestTransmitDialog::optionCaptions()
{
    // The frames and options under the names, indexes and captions the technicians know.
    Open();
    const char *const frames[] = {
        "Frame1=Interface|OptMode_0=By Keyboard|OptMode_1=By RS232",
        "FraPort=Port|OptPort_0=Com 1|OptPort_1=Com 2|OptPort_2=Com 3|OptPort_3=Com 4",
        "Frame4=Baud Rate|optBaud_0=1200|optBaud_1=2400|optBaud_2=4800|optBaud_3=9600|"
        "optBaud_4=19200",
        "Frame2=Data Bits|optDatabits_0=7 Data Bits|optDatabits_1=8 Data Bits",
        "Frame3=Stop Bits|optStopbits_0=1 Stop Bit|optStopbits_1=2 Stop Bit",
        "Frame5=Download Option|Option1_0=Not Save|Option1_1=Save"};
    QStringList expected;
    for (const char *frame : frames)
        expected.append(QString::fromLatin1(frame).split(u'|'));
    QStringList shown;
    for (const QGroupBox *frame : m_f->dialog->findChildren<QGroupBox *>()) {
        shown.append(frame->objectName() + u'=' + frame->title());
        for (const QRadioButton *option : frame->findChildren<QRadioButton *>())
            shown.append(option->objectName() + u'=' + option->text());
    }
    shown.sort();
    expected.sort();
    QCOMPARE(shown, expected);
}

void TestTransmitDialog::settingsHandlers()
{
    Open();
    LinkSettings &link = m_f->state.link;
    Click("OptMode_1");
    QCOMPARE(link.LinkMode, 1);
    for (const char *name : {"FraPort", "Frame2", "Frame3", "Frame4"})
        QVERIFY(Find<QGroupBox>(name)->isEnabled());
    Click("optStopbits_1");
    QCOMPARE(link.FrameSetting, QStringLiteral("N,8,2 "));
    Click("optDatabits_0");
    QCOMPARE(link.FrameSetting, QStringLiteral("N,7,2 "));
    Click("optStopbits_0");
    QCOMPARE(link.FrameSetting, QStringLiteral("N,7,1 "));
    Click("optBaud_4");
    Click("OptPort_3");
    QCOMPARE(link.CommPort, 4);
    QCOMPARE(link.SerialSettingsText(), QStringLiteral("19200,N,7,1 "));
    Click("Option1_0");
    QVERIFY(!link.SaveFlag);
    Click("Option1_1");
    QVERIFY(link.SaveFlag);

    // By keyboard: the serial frames are disabled, Download Option is not, and the serial
    // settings stay for the next time RS232 is chosen.
    Click("OptMode_0");
    QCOMPARE(link.LinkMode, 0);
    for (const char *name : {"FraPort", "Frame2", "Frame3", "Frame4"})
        QVERIFY(!Find<QGroupBox>(name)->isEnabled());
    QVERIFY(Find<QGroupBox>("Frame5")->isEnabled());
    QCOMPARE(link.SerialSettingsText(), QStringLiteral("19200,N,7,1 "));
    QCOMPARE(link.CommPort, 4);

    // Reopening shows the choices of this run.
    Open();
    QVERIFY(Find<QRadioButton>("OptPort_3")->isChecked());
    QVERIFY(Find<QRadioButton>("optBaud_4")->isChecked());
    QVERIFY(Find<QRadioButton>("optDatabits_0")->isChecked());
    QVERIFY(Find<QRadioButton>("OptMode_0")->isChecked());
}

void TestTransmitDialog::portToolTips()
{
    {
        const EnvironmentGuard com2("K30CFG_COM2", "/dev/ttyUSB7");
        Open();
    }
    // The device comes first; on Linux the causes of "not available" and their remedies follow.
    const QString tip = Find<QRadioButton>("OptPort_1")->toolTip();
    QCOMPARE(tip.section(QLatin1Char('\n'), 0, 0),
             QStringLiteral("Com 2: /dev/ttyUSB7 (set by K30CFG_COM2)"));
#ifdef Q_OS_LINUX
    for (const char *told : {"\"COM 2: not available.\"", "does not exist", "Port Mapping",
                             "fuser -v /dev/ttyUSB7", "dialout", "usermod -aG dialout"})
        QVERIFY2(tip.contains(QLatin1String(told)), told);
    QCOMPARE(Find<QRadioButton>("OptPort_0")->toolTip().section(QLatin1Char('\n'), 0, 0),
             QStringLiteral("Com 1: /dev/ttyS0"));
#endif
}

void TestTransmitDialog::keyboardDownload_data()
{
    QTest::addColumn<bool>("save");
    QTest::addColumn<bool>("lower");
    QTest::newRow("save") << true << false;
    QTest::newRow("not save, answers in lower case") << false << true;
}

void TestTransmitDialog::keyboardDownload()
{
    QFETCH(bool, save);
    QFETCH(bool, lower);
    m_f->k30.device.faults.lowerCase = lower;
    m_f->state.link.SaveFlag = save;
    m_f->state.images.ConfigImage = FilledImage(0x3C);
    m_f->state.images.ConfigImage[0] = 0xA1;
    const auto deviceBefore = m_f->k30.device.image;
    Open();
    Click("cmdTransmit");
    QVERIFY(!ButtonsEnabled());
    QVERIFY(WaitUntil([this] { return Find<QProgressBar>("ProgressBar1")->isVisible(); }, 2000));
    QCOMPARE(Find<QProgressBar>("ProgressBar1")->maximum(), 84);
    QVERIFY(!ButtonsEnabled());
    const ShownMessage shown = AnswerBox(4000);
    QCOMPARE(shown.text, QStringLiteral("Download OK!"));
    QCOMPARE(shown.title, QStringLiteral("CFG Message"));
    QVERIFY(!shown.hasCancel);
    QVERIFY(ButtonsEnabled());
    QVERIFY(Find<QProgressBar>("ProgressBar1")->isHidden());
    const QByteArray command = save ? "AAAAA" : "BBBBB";
    QCOMPARE(m_f->k30.wedge.Written(),
             command + KeyboardDownloadText(m_f->state.images.ConfigImage));
    QCOMPARE(m_f->k30.wedge.MaskReleases(), 2);
    if (save)
        QCOMPARE(m_f->k30.device.image, m_f->state.images.ConfigImage);
    else
        QCOMPARE(m_f->k30.device.image, deviceBefore);
}

void TestTransmitDialog::keyboardSilent()
{
    m_f->k30.device.faults.silent = true;
    Open();
    QElapsedTimer clock;
    clock.start();
    Click("cmdTransmit");
    const ShownMessage shown = AnswerBox(5000);
    const qint64 elapsed = clock.elapsed();
    QCOMPARE(shown.text, QStringLiteral("Times Out Error"));
    QCOMPARE(shown.title, QStringLiteral("CFG Message"));
    // 15 commands of five bytes, and the 16th tick of 150 ms gives up.
    QCOMPARE(m_f->k30.wedge.Written(), QByteArray("AAAAA").repeated(15));
    QVERIFY2(elapsed >= 16 * 150 && elapsed < 16 * 150 + 1000,
             qPrintable(QString::number(elapsed)));
    QCOMPARE(m_f->k30.wedge.MaskReleases(), 1);
    QVERIFY(ButtonsEnabled());
}

void TestTransmitDialog::keyboardUpload_data()
{
    QTest::addColumn<bool>("reader");
    QTest::addColumn<bool>("lower");
    QTest::newRow("decoder section") << false << false;
    QTest::newRow("reader section, lower case") << true << true;
}

void TestTransmitDialog::keyboardUpload()
{
    QFETCH(bool, reader);
    QFETCH(bool, lower);
    m_f->k30.device.faults.lowerCase = lower;
    m_f->k30.device.section = reader ? SimDevice::Section::Reader : SimDevice::Section::Decoder;
    for (int i = 0; i < kImageSize; ++i)
        m_f->k30.device.image[i] = std::uint8_t(0xF0 - i);
    m_f->state.images.ConfigImage = FilledImage(0x22);
    m_f->state.images.MarkSaved();
    Open();
    Click("cmdReceive");
    const ShownMessage question = AnswerBox(1000);
    QCOMPARE(question.text,
             QStringLiteral("This will replace your current data with reader's data!"));
    QCOMPARE(question.title, QStringLiteral("Upload Message"));
    QVERIFY(question.hasCancel);
    QVERIFY(!ButtonsEnabled());
    QVERIFY(WaitUntil([this] { return Find<QProgressBar>("ProgressBar1")->isVisible(); }, 2000));
    QCOMPARE(Find<QProgressBar>("ProgressBar1")->maximum(), 146);
    const ShownMessage shown = AnswerBox(4000);
    QCOMPARE(shown.text, QStringLiteral("   Upload OK!   "));
    QCOMPARE(shown.title, QStringLiteral("Upload Message"));
    QCOMPARE(m_f->k30.wedge.Written(), QByteArray("CCCCC"));
    for (int i = 0; i < kImageSize; ++i) {
        const bool inSection = reader ? i >= kReaderFirst : i <= kDecoderLast;
        QCOMPARE(m_f->state.images.ConfigImage[i],
                 inSection ? std::uint8_t(0xF0 - i) : std::uint8_t(0x22));
    }
    QVERIFY(m_f->state.images.IsChanged());
    // What the report names as the configuration's origin.
    QCOMPARE(m_f->state.UploadPort, QStringLiteral("the keyboard path"));
    QVERIFY(m_f->state.UploadVersion.join(u' ').contains(m_f->k30.device.version1,
                                                         Qt::CaseInsensitive));
}

void TestTransmitDialog::uploadCancelled()
{
    m_f->state.images.ConfigImage = FilledImage(0x22);
    Open();
    Click("cmdReceive");
    const ShownMessage question = AnswerBox(1000, true);
    QVERIFY(question.hasCancel);
    QVERIFY(ButtonsEnabled());
    QTest::qWait(400);
    QVERIFY(m_f->k30.wedge.Written().isEmpty());
    QVERIFY(!QApplication::activeModalWidget());
    QCOMPARE(m_f->state.images.ConfigImage, FilledImage(0x22));
}

void TestTransmitDialog::keyboardVersion()
{
    m_f->k30.device.section = SimDevice::Section::Reader;
    m_f->k30.device.image = FilledImage(0x77);
    m_f->state.images.ConfigImage = FilledImage(0x22);
    Open();
    Click("CmdVersion");
    // No question before a version request: the answer comes straight away.
    const ShownMessage shown = AnswerBox(4000);
    QCOMPARE(shown.text,
             QStringLiteral("Get Firmware Version OK!\r\r   K30SIM V1.00\n\r   2024-05-01"));
    QCOMPARE(shown.title, QStringLiteral("Upload Message"));
    QCOMPARE(m_f->state.images.ConfigImage, FilledImage(0x22));
    QVERIFY(m_f->state.link.UploadMode);
}

void TestTransmitDialog::keyboardShortUpload()
{
    // "S" and 144 of the 145 characters: the data wait runs its full 5000 ms.
    m_f->k30.device.faults.shortAnswer = 1 + 144;
    m_f->state.images.ConfigImage = FilledImage(0x22);
    Open();
    Click("CmdVersion");
    QElapsedTimer clock;
    clock.start();
    const ShownMessage shown = AnswerBox(8000);
    QCOMPARE(shown.text, QStringLiteral("Upload Failed!"));
    QVERIFY2(clock.elapsed() >= 5000 && clock.elapsed() < 5000 + 1000,
             qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(m_f->state.images.ConfigImage, FilledImage(0x22));
}

void TestTransmitDialog::keyboardRefusedDownload()
{
    m_f->k30.device.faults.refuseDownload = true;
    const auto deviceBefore = m_f->k30.device.image;
    Open();
    QElapsedTimer clock;
    clock.start();
    Click("cmdTransmit");
    const ShownMessage shown = AnswerBox(5000);
    QCOMPARE(shown.text, QStringLiteral("Download Failed!"));
    // Handshake (150 ms), 20 ms, 172 paced characters (688 ms), then the full 1000 ms wait.
    QVERIFY2(clock.elapsed() >= 150 + 20 + 688 + 1000,
             qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(m_f->k30.device.image, deviceBefore);
}

void TestTransmitDialog::serialExchanges()
{
    m_f->k30.AttachToCom1();
    m_f->state.link.LinkMode = 1;
    m_f->state.images.ConfigImage = FilledImage(0x5A);
    Open();
    Click("cmdTransmit");
    QVERIFY(!ButtonsEnabled());
    ShownMessage shown = AnswerBox(4000);
    QCOMPARE(shown.text, QStringLiteral("Download OK!"));
    QCOMPARE(m_f->k30.device.image, FilledImage(0x5A));
    QVERIFY(ButtonsEnabled());

    m_f->k30.device.section = SimDevice::Section::Reader;
    m_f->k30.device.image = FilledImage(0x01);
    Click("cmdReceive");
    QCOMPARE(AnswerBox(1000).text,
             QStringLiteral("This will replace your current data with reader's data!"));
    shown = AnswerBox(4000);
    QCOMPARE(shown.text, QStringLiteral("   Upload OK!   "));
    QCOMPARE(m_f->state.images.ConfigImage[0], std::uint8_t(0x5A));
    QCOMPARE(m_f->state.images.ConfigImage[kReaderFirst], std::uint8_t(0x01));
    QCOMPARE(m_f->state.UploadPort, QStringLiteral("Com 1"));
    QVERIFY(Find<QProgressBar>("ProgressBar1")->isHidden());
    // The port is free again once the exchange has ended.
    QVERIFY(m_f->k30.PortIsFree());
}

QTEST_MAIN(TestTransmitDialog)
#include "tst_transmitdialog.moc"
