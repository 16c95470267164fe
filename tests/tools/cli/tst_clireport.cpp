#include "support/clirun.h"
#include "support/files.h"
#include "support/simulatedk30.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// k30cfg-cli report: the parameters marked as differing from their defaults, in the HTML and
// in the PDF's text, and the device's version and differences with --port.
class TestCliReport : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void report_data();
    void report();
};

namespace {

// The names of the rows marked as differing from their defaults.
QSet<QString> MarkedInHtml(const QString &html)
{
    QSet<QString> names;
    static const QRegularExpression row(
        QStringLiteral("<tr class=\"differs\">.*<td>([^<]*)</td></tr>"));
    for (const auto &match : row.globalMatch(html))
        names.insert(match.captured(1));
    return names;
}

QSet<QString> MarkedInText(const QString &text)
{
    QSet<QString> names;
    for (QString line : text.split(QLatin1Char('\n'))) {
        line.remove(QLatin1Char('\f'));
        if (line.startsWith(QLatin1Char('*')))
            names.insert(line.split(QLatin1Char(' '), Qt::SkipEmptyParts).last());
    }
    return names;
}

} // namespace

void TestCliReport::report_data()
{
    QTest::addColumn<QString>("suffix");
    // none, good, hostile, silent; same: the output names the configuration file itself;
    // blank helper: a k30cfg-pdf that ends well having drawn nothing
    QTest::addColumn<QString>("device");
    QTest::addColumn<int>("code");
    QTest::newRow("html") << "html"
                          << "none" << 0;
    QTest::newRow("pdf") << "pdf"
                         << "none" << 0;
    QTest::newRow("html, device") << "html"
                                  << "good" << 0;
    QTest::newRow("pdf, device") << "pdf"
                                 << "good" << 0;
    QTest::newRow("html, hostile version") << "html"
                                           << "hostile" << 0;
    QTest::newRow("pdf, hostile version") << "pdf"
                                          << "hostile" << 0;
    QTest::newRow("silent device") << "pdf"
                                   << "silent" << 2;
    QTest::newRow("helper draws nothing") << "pdf"
                                          << "blank helper" << 4;
    QTest::newRow("other suffix") << "txt"
                                  << "none" << 3;
    QTest::newRow("output is the input") << "pdf"
                                         << "same" << 3;
}

void TestCliReport::report()
{
    QFETCH(QString, suffix);
    QFETCH(QString, device);
    QFETCH(int, code);
    QTemporaryDir dir;
    QString file = CliNewFile(dir.filePath(QStringLiteral("site.cfg")));
    QCOMPARE(Cli({QStringLiteral("set"), file, QStringLiteral("decoder.comm.baud=19200"),
                  QStringLiteral("reader.comm.parity=Even"),
                  QStringLiteral("decoder.barcodes.code39=Off")})
                 .code,
             0);
    QString output = dir.filePath(QStringLiteral("report.") + suffix);
    if (device == QLatin1String("same")) {
        // The same file under another spelling.
        QVERIFY(QFile::rename(file, output));
        file = output;
        output = dir.path() + QStringLiteral("/./report.pdf");
    }
    QStringList arguments{QStringLiteral("report"), file, QStringLiteral("-o"), output};
    SimulatedK30 k30;
    const QString hostile = QStringLiteral("<i>K30 & \"x\"");
    const bool port = device == QLatin1String("good") || device == QLatin1String("hostile") ||
                      device == QLatin1String("silent");
    if (port) {
        QVERIFY(k30.IsOpen());
        k30.device.faults.silent = device == QLatin1String("silent");
        if (device == QLatin1String("hostile"))
            k30.device.version1 = hostile;
        arguments << QStringLiteral("--port") << k30.Path();
    }
    CliRun run;
    if (device == QLatin1String("blank helper")) {
        const QString cli = dir.filePath(QStringLiteral("k30cfg-cli"));
        const QString helper = dir.filePath(QStringLiteral("k30cfg-pdf"));
        QVERIFY(QFile::copy(QStringLiteral(K30_CLI), cli));
        QFile script(helper);
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\ncat >/dev/null\n");
        script.close();
        QVERIFY(script.setPermissions(script.permissions() | QFile::ExeOwner));
        run.code = QProcess::execute(cli, arguments);
    } else {
        run = Cli(arguments);
    }
    QCOMPARE(run.code, code);
    if (device == QLatin1String("same")) {
        QVERIFY(LoadConfiguration(output).ok);
        return;
    }
    if (code != 0) {
        QVERIFY(!QFile::exists(output));
        return;
    }
    QVERIFY2(run.err.isEmpty(), qPrintable(run.err));

    QString text = QString::fromUtf8(Contents(output));
    QSet<QString> marked = MarkedInHtml(text);
    if (suffix == QLatin1String("pdf")) {
        QVERIFY(text.startsWith(QLatin1String("%PDF-")));
        QProcess pdftotext;
        pdftotext.start(QStringLiteral("pdftotext"),
                        {QStringLiteral("-layout"), output, QStringLiteral("-")});
        QVERIFY2(pdftotext.waitForFinished(), "pdftotext (poppler-utils) did not run");
        text = QString::fromUtf8(pdftotext.readAllStandardOutput());
        marked = MarkedInText(text);
    }
    QCOMPARE(marked, (QSet<QString>{QStringLiteral("decoder.comm.baud"),
                                    QStringLiteral("reader.comm.parity"),
                                    QStringLiteral("decoder.barcodes.code39")}));
    QVERIFY(text.contains(QLatin1String("3 parameters differ from the defaults")));
    QVERIFY(text.contains(QLatin1String("site.cfg")));

    if (device == QLatin1String("none")) {
        QVERIFY(!text.contains(QLatin1String("Firmware version")));
        return;
    }
    QVERIFY(text.contains(QLatin1String("Firmware version")));
    QVERIFY(text.contains(k30.device.version2));
    // The device holds the factory values: its decoder section differs in the two decoder
    // parameters the file changed.
    QVERIFY2(text.contains(QLatin1String("differs in 2 parameters")), qPrintable(text));
    if (device == QLatin1String("good"))
        QVERIFY(text.contains(QLatin1String("K30SIM V1.00")));
    else if (suffix == QLatin1String("html"))
        QVERIFY(!text.contains(hostile) && text.contains(hostile.toHtmlEscaped()));
    else
        QVERIFY(text.contains(hostile));
}

QTEST_MAIN(TestCliReport)
#include "tst_clireport.moc"
