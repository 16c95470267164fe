#include "core/configreport.h"
#include "report/reportwriter.h"

#include <QBuffer>
#include <QPdfWriter>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

// The report's HTML and its pages: texts from a file or a device stay text, and long ones wrap
// on the paper instead of running off it.
class TestReportWriter : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void textsOnPaper_data();
    void textsOnPaper();
};

void TestReportWriter::textsOnPaper_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown"); // as the printed report shows it
    QTest::addColumn<QPageSize::PageSizeId>("paper");

    const QString markup = QStringLiteral("<b>Till & \"1\"</b><!-- x -->");
    QTest::newRow("markup") << markup << QStringLiteral("\"") + markup + QStringLiteral("\"")
                            << QPageSize::A4;
    QTest::newRow("control characters")
        << QStringLiteral("A\x1b[2J\tB") << QStringLiteral("\"A{ESC}[2J{HT}B\"") << QPageSize::A4;
    const QString unbroken(90, QLatin1Char('W'));
    const QString words =
        QStringLiteral("Checkout lane seven near the bakery entrance, ").repeated(4);
    for (const auto &[paper, name] :
         {std::pair{QPageSize::A4, "A4"}, std::pair{QPageSize::Letter, "Letter"}}) {
        QTest::addRow("long without blanks, %s", name)
            << unbroken << QStringLiteral("\"") + unbroken + QStringLiteral("\"") << paper;
        QTest::addRow("long words, %s", name)
            << words << QStringLiteral("\"") + words + QStringLiteral("\"") << paper;
    }
}

void TestReportWriter::textsOnPaper()
{
    QFETCH(QString, text);
    QFETCH(QString, shown);
    QFETCH(QPageSize::PageSizeId, paper);

    ReportSource source;
    source.program = QStringLiteral("k30cfg 1.0");
    source.made = QDateTime(QDate(2026, 5, 1), QTime(9, 30));
    source.configuration = ConfigDocument::New();
    source.configuration.header.DeviceName = text;
    // The device's version fields are its own bytes: the same care.
    source.device =
        ReportDevice{QStringLiteral("/dev/ttyUSB0"), {text, QStringLiteral("2")}, {}, {}};
    const QString html = ReportHtml(source);
    if (text.contains(QLatin1Char('<')))
        QVERIFY(!html.contains(text));
    QVERIFY(!html.contains(QLatin1Char('\x1b')));

    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setPageSize(QPageSize(paper));
    const auto document = ReportDocument(html, writer);
    // The markup became text, not formatting.
    const QString plain = document->toPlainText();
    QVERIFY2(plain.contains(shown), qPrintable(plain.left(600)));
    QVERIFY(plain.contains(PrintableText(text).trimmed()));

    // Nothing is wider than the page; a text longer than its column takes more lines.
    QVERIFY2(document->size().width() <= document->pageSize().width() + 0.5,
             qPrintable(QStringLiteral("%1 > %2")
                            .arg(document->size().width())
                            .arg(document->pageSize().width())));
    const QTextBlock block = document->find(shown).block();
    QVERIFY(block.isValid());
    if (text.size() > 40)
        QVERIFY(block.layout()->lineCount() > 1);
}

QTEST_MAIN(TestReportWriter)
#include "tst_reportwriter.moc"
