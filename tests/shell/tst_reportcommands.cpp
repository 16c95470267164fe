#include "support/boxanswerer.h"
#include "support/files.h"
#include "support/testshell.h"

#include "core/fieldtext.h"
#include "shell/reportcommands.h"

#include <QApplication>
#include <QFile>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

// File > Export Report and Print Report on the window's configuration: its defaults, its
// texts and the device it was uploaded from.
class TestReportCommands : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void exportReport_data();
    void exportReport();
    void printShowsPreview();
};

void TestReportCommands::exportReport_data()
{
    QTest::addColumn<QString>("answer");  // the file dialog's answer
    QTest::addColumn<QString>("written"); // the file written, "" for none
    QTest::newRow("pdf") << "r.pdf"
                         << "r.pdf";
    QTest::newRow("html") << "r.HTML"
                          << "r.HTML";
    QTest::newRow("no suffix") << "r"
                               << "r.pdf";
    QTest::newRow("other suffix") << "r.txt"
                                  << "";
    QTest::newRow("cancelled") << ""
                               << "";
}

void TestReportCommands::exportReport()
{
    QFETCH(QString, answer);
    QFETCH(QString, written);
    QTemporaryDir dir;
    TestShell shell(dir.path());
    // Saved defaults with another parity: the report counts as the status bar does, against
    // them, not against the factory values.
    ParameterImages saved = shell.state.images;
    QVERIFY(!SetFieldFromText(*FindField("decoder.comm.parity"), u"Odd", saved));
    shell.state.images.DefaultImage = saved.ConfigImage;
    shell.state.header.DeviceName = QStringLiteral("<Till 7> & co");
    shell.state.UploadPort = QStringLiteral("Com 1");
    shell.state.UploadVersion = QStringList{QStringLiteral("   K30SIM V1.00"), {}};
    shell.state.UploadImage = shell.state.images.ConfigImage;
    if (!answer.isEmpty())
        shell.names << dir.filePath(answer);

    BoxAnswerer boxes({QMessageBox::Ok});
    shell.Trigger("mnuFileExportReport");
    QCOMPARE(shell.asked.size(), 1);
    QCOMPARE(shell.asked.front().first, FileDialogKind::Report);
    QCOMPARE(boxes.allAnswered(), answer.endsWith(QLatin1String(".txt")));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files),
             written.isEmpty() ? QStringList() : QStringList{written});
    if (written.isEmpty())
        return;

    QString text = QString::fromUtf8(Contents(dir.filePath(written)));
    if (written.endsWith(QLatin1String(".pdf"))) {
        QProcess pdftotext;
        pdftotext.start(QStringLiteral("pdftotext"), {dir.filePath(written), QStringLiteral("-")});
        QVERIFY(pdftotext.waitForFinished());
        text = QString::fromUtf8(pdftotext.readAllStandardOutput());
        QVERIFY(text.contains(QLatin1String("<Till 7> & co")));
    } else {
        QVERIFY(text.contains(QLatin1String("&lt;Till 7&gt; &amp; co")));
    }
    QVERIFY2(text.contains(QLatin1String("1 parameter differs from the defaults")),
             qPrintable(text.left(400)));
    QVERIFY(text.contains(QLatin1String("New File")));
    QVERIFY(text.contains(QLatin1String("K30SIM V1.00")));
    // Edited after the upload: the report says so rather than pass for the device's values.
    QVERIFY(!text.contains(QLatin1String("since the upload")));
    QVERIFY(!SetFieldFromText(*FindField("decoder.comm.baud"), u"19200", shell.state.images));
    QVERIFY(shell.window->Reports().Html().contains(
        QLatin1String("Changed in the tool since the upload: 1 parameter differs")));
    shell.state.images.ConfigImage = shell.state.UploadImage;

    // Another configuration no longer comes from that device.
    shell.Trigger("mnuFileNew");
    QVERIFY(shell.state.UploadPort.isEmpty());
    QVERIFY(!shell.window->Reports().Html().contains(QLatin1String("K30SIM")));
}

void TestReportCommands::printShowsPreview()
{
    QTemporaryDir dir;
    TestShell shell(dir.path());
    int pages = 0;
    QTimer::singleShot(0, [&] {
        auto *preview = qobject_cast<QPrintPreviewDialog *>(QApplication::activeModalWidget());
        QVERIFY(preview);
        // The pages the preview drew, then closed as a user would.
        QTRY_VERIFY(preview->findChild<QWidget *>() != nullptr);
        pages = preview->findChildren<QPrintPreviewWidget *>().value(0)->pageCount();
        preview->reject();
    });
    shell.Trigger("mnuFilePrintReport");
    QVERIFY2(pages >= 2, qPrintable(QString::number(pages)));
}

QTEST_MAIN(TestReportCommands)
#include "tst_reportcommands.moc"
