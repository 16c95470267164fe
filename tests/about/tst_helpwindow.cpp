#include "about/helpwindow.h"
#include "core/fieldcatalogue.h"
#include "core/pagetable.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTest>
#include <QTextBrowser>
#include <QTextDocument>

namespace {

QStringList ManualPages()
{
    return QDir(kManualRoot).entryList({QStringLiteral("*.html")}, QDir::Files, QDir::Name);
}

QString PageHtml(const QString &page)
{
    QFile file(kManualRoot + QLatin1Char('/') + page);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

// The text a reader sees on a page, with entities resolved and white space folded.
QString PageText(const QString &page)
{
    QTextDocument document;
    document.setHtml(PageHtml(page));
    return document.toPlainText().simplified();
}

QList<HelpWindow *> HelpWindows()
{
    QList<HelpWindow *> windows;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *help = qobject_cast<HelpWindow *>(widget); help && help->isVisible())
            windows.append(help);
    }
    return windows;
}

} // namespace

class TestHelpWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup();
    void manualIsLinkedIn();
    void pageAnchorExists_data();
    void pageAnchorExists();
    void internalLinksResolve();
    void everyPageIsReachable();
    void everyCatalogueFieldIsDocumented();
    void showManualOpensAtAnchor_data();
    void showManualOpensAtAnchor();
    void anchorFarDownIsScrolledTo();
    void secondCallRaisesSameWindow();
    void closedWindowIsOpenedAfresh();
};

void TestHelpWindow::cleanup()
{
    for (HelpWindow *window : HelpWindows())
        window->close();
    QTRY_VERIFY(HelpWindows().isEmpty());
}

void TestHelpWindow::manualIsLinkedIn()
{
    // The manual is a resource of a static library: it must be registered before use.
    QVERIFY(!ManualAnchors().isEmpty());
    QVERIFY(QFile::exists(kManualRoot + QLatin1Char('/') + kManualContents));
    QVERIFY(ManualPages().size() > 10);
}

void TestHelpWindow::pageAnchorExists_data()
{
    QTest::addColumn<QString>("window");
    for (const PageInfo &page : kPageTable)
        QTest::newRow(page.window) << Text(page.window);
}

void TestHelpWindow::pageAnchorExists()
{
    QFETCH(QString, window);
    const QUrl url = ManualUrl(window);
    QCOMPARE(url.fragment(), window);
    QVERIFY2(url.fileName() != kManualContents, qPrintable(url.toString()));
    QVERIFY(PageHtml(url.fileName()).contains(QStringLiteral("<a name=\"%1\">").arg(window)));
}

void TestHelpWindow::internalLinksResolve()
{
    static const QRegularExpression link(QStringLiteral("href=\"([^\"]*)\""));
    QStringList broken;
    for (const QString &page : ManualPages()) {
        const QUrl base(QStringLiteral("qrc:/manual/") + page);
        for (const auto &match : link.globalMatch(PageHtml(page))) {
            const QUrl href(match.captured(1));
            if (href.scheme() == QLatin1String("http") || href.scheme() == QLatin1String("https"))
                continue;
            const QUrl target = base.resolved(href);
            const QString file = target.fileName();
            const bool fileFound = QFile::exists(kManualRoot + QLatin1Char('/') + file);
            const bool anchorFound =
                !target.hasFragment() || ManualAnchors().value(target.fragment()) == file;
            if (!fileFound || !anchorFound)
                broken.append(page + QStringLiteral(" -> ") + match.captured(1));
        }
    }
    QVERIFY2(broken.isEmpty(), qPrintable(broken.join(QStringLiteral(", "))));
}

void TestHelpWindow::everyPageIsReachable()
{
    QSet<QString> linked{kManualContents};
    static const QRegularExpression link(QStringLiteral("href=\"([^\"#]+\\.html)"));
    for (const QString &page : ManualPages()) {
        for (const auto &match : link.globalMatch(PageHtml(page)))
            linked.insert(match.captured(1));
    }
    QStringList orphans;
    for (const QString &page : ManualPages()) {
        if (!linked.contains(page))
            orphans.append(page);
    }
    QVERIFY2(orphans.isEmpty(), qPrintable(orphans.join(QStringLiteral(", "))));
}

void TestHelpWindow::everyCatalogueFieldIsDocumented()
{
    // Each parameter a page edits is described on that page's manual page, with its caption
    // and, for a choice, every option the user can pick.
    QStringList missing;
    for (const FieldSpec &field : FieldCatalogue()) {
        const QString page = ManualAnchors().value(Text(field.page));
        if (page.isEmpty()) {
            missing.append(Text(field.name) + QStringLiteral(": no page"));
            continue;
        }
        const QString text = PageText(page);
        QStringList captions{Text(field.caption)};
        if (field.kind == FieldKind::Choice) {
            for (const FieldOption &option : field.options)
                captions.append(Text(option.caption));
        }
        for (const QString &caption : captions) {
            if (!text.contains(caption.simplified()))
                missing.append(Text(field.name) + QStringLiteral(": \"") + caption +
                               QLatin1Char('"'));
        }
    }
    QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QStringLiteral(", "))));
}

void TestHelpWindow::showManualOpensAtAnchor_data()
{
    QTest::addColumn<QString>("anchor");
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("heading");
    QTest::newRow("decoder communication")
        << QStringLiteral("cfg4") << QStringLiteral("decoder-comm.html")
        << QStringLiteral("Decoder communication page");
    QTest::newRow("memory dialog")
        << QStringLiteral("frmReadMemory") << QStringLiteral("memory.html")
        << QStringLiteral("Reading and clearing");
    QTest::newRow("test scan window")
        << QStringLiteral("frmTestScan") << QStringLiteral("scan.html")
        << QStringLiteral("Test Scan: what the device sends");
    QTest::newRow("contents") << QString() << kManualContents
                              << QStringLiteral("K30 Configuration Tool Manual");
    QTest::newRow("unknown anchor") << QStringLiteral("noSuchPage") << kManualContents
                                    << QStringLiteral("K30 Configuration Tool Manual");
}

void TestHelpWindow::showManualOpensAtAnchor()
{
    QFETCH(QString, anchor);
    QFETCH(QString, page);
    QFETCH(QString, heading);
    QWidget owner;
    HelpWindow *window = ShowManual(&owner, anchor);
    QVERIFY(window);
    QCOMPARE(window->objectName(), QStringLiteral("HelpWindow"));
    QCOMPARE(window->windowTitle(), QStringLiteral("K30 Configuration Help"));
    QVERIFY(window->isWindow());
    QVERIFY(window->isVisible());
    const QUrl source = window->Browser()->source();
    QCOMPARE(source.fileName(), page);
    QCOMPARE(source.fragment(), anchor.isEmpty() || page == kManualContents ? QString() : anchor);
    QVERIFY2(window->Browser()->toPlainText().contains(heading),
             qPrintable(window->Browser()->toPlainText().left(200)));
}

void TestHelpWindow::anchorFarDownIsScrolledTo()
{
    HelpWindow *window = ShowManual(nullptr, QStringLiteral("cfg4"));
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QScrollBar *scroll = window->Browser()->verticalScrollBar();
    QVERIFY2(scroll->maximum() > 0, "the page must be longer than the window for this test");
    const int top = scroll->value();
    ShowManual(nullptr, QStringLiteral("cfg4-output"));
    QTRY_VERIFY(scroll->value() > top);
    ShowManual(nullptr, QStringLiteral("cfg4"));
    QTRY_COMPARE(scroll->value(), top);
}

void TestHelpWindow::secondCallRaisesSameWindow()
{
    QWidget owner;
    HelpWindow *first = ShowManual(&owner, QStringLiteral("cfg3"));
    HelpWindow *second = ShowManual(&owner, QStringLiteral("magcfg6"));
    QCOMPARE(second, first);
    QCOMPARE(HelpWindows().size(), 1);
    QCOMPARE(second->Browser()->source().fragment(), QStringLiteral("magcfg6"));

    // The way back leads to the page shown first.
    auto *back = second->findChild<QAction *>(QStringLiteral("helpBack"));
    QVERIFY(back);
    QVERIFY(back->isEnabled());
    back->trigger();
    QCOMPARE(second->Browser()->source().fragment(), QStringLiteral("cfg3"));
}

void TestHelpWindow::closedWindowIsOpenedAfresh()
{
    QPointer<HelpWindow> first = ShowManual(nullptr, QStringLiteral("cfg5"));
    first->close();
    QTRY_VERIFY(first.isNull());
    HelpWindow *second = ShowManual(nullptr, QStringLiteral("frmTransmit"));
    QVERIFY(second);
    QVERIFY(second->isVisible());
    QCOMPARE(second->Browser()->source().fragment(), QStringLiteral("frmTransmit"));
}

QTEST_MAIN(TestHelpWindow)
#include "tst_helpwindow.moc"
