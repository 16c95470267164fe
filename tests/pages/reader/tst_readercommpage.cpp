#include "support/pagetest.h"

#include "core/pagetable.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>

using namespace pagetest;

// What only the reader's card tab (magcfg4, "Magnetic Reader") has: the card standard that
// switches the track fields off, and the separator character in an editable list of names.
class TestReaderCommPage : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init() { m_state.images = ParameterImages(); }
    void jis2SwitchesOffTheTrackFields();
    void separatorListsTheControlNames();
    void separatorTakesPicksAndTypedCharacters();
    void separatorTellsTypedNamesFromPicks_data();
    void separatorTellsTypedNamesFromPicks();
    void separatorShowsStoredCharacters_data();
    void separatorShowsStoredCharacters();

private:
    AppState m_state;
};

void TestReaderCommPage::jis2SwitchesOffTheTrackFields()
{
    const QStringList switchedOff = Names({"fraCfg45A", "chkCfg45C", "cbo45D", "Label5", "Label6"});
    const QStringList stayOn = Names({"chkCfg45B", "Label4", "OptISO_0", "OptISO_1", "Label1"});
    auto enabled = [](QWidget *page, const QString &name) {
        auto *widget = page->findChild<QWidget *>(name);
        return widget && widget->isEnabled();
    };
    PageContext context{m_state};
    {
        auto page = Open(kReaderCommPage, context);
        page->show();
        for (const QString &name : switchedOff + stayOn)
            QVERIFY2(enabled(page.get(), name), qPrintable(name));
        QVERIFY(Click(page.get(), QStringLiteral("OptISO_1")));
        for (const QString &name : switchedOff)
            QVERIFY2(!enabled(page.get(), name), qPrintable(name));
        for (const QString &name : stayOn)
            QVERIFY2(enabled(page.get(), name), qPrintable(name));
        QVERIFY(Click(page.get(), QStringLiteral("OptISO_0")));
        for (const QString &name : switchedOff)
            QVERIFY2(enabled(page.get(), name), qPrintable(name));
        // Set Default of the card tab brings back the default standard and its state.
        QVERIFY(Click(page.get(), QStringLiteral("OptISO_1")));
        QVERIFY(Click(page.get(), QStringLiteral("cmdDefault45")));
        QVERIFY(enabled(page.get(), QStringLiteral("cbo45D")));
    }
    m_state.images.ConfigImage[25] |= 1;
    auto page = Open(kReaderCommPage, context);
    page->show();
    QCOMPARE(Selected(page.get(), QStringLiteral("OptISO")), QStringLiteral("JIS2"));
    for (const QString &name : switchedOff)
        QVERIFY2(!enabled(page.get(), name), qPrintable(name));
    for (const QString &name : stayOn)
        QVERIFY2(enabled(page.get(), name), qPrintable(name));
}

void TestReaderCommPage::separatorListsTheControlNames()
{
    PageContext context{m_state};
    auto page = Open(kReaderCommPage, context);
    auto *box = page->findChild<QComboBox *>(QStringLiteral("cbo45D"));
    const QStringList names =
        Names({"NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "BEL", "BS",  "HT",  "LF",
               "VT",  "FF",  "CR",  "SO",  "SI",  "DLE", "DC1", "DC2", "DC3", "DC4", "NAK",
               "SYN", "ETB", "CAN", "EM",  "SUB", "ESC", "FS",  "GS",  "RS",  "US"});
    QCOMPARE(box->count(), names.size());
    for (int i = 0; i < names.size(); ++i)
        QCOMPARE(box->itemText(i), names[i]);
    QVERIFY(box->isEditable());
    QCOMPARE(page->findChild<QLabel *>(QStringLiteral("Label6"))->text(),
             QStringLiteral("Separator Character (For Dual Or Triple Tracks)"));
}

void TestReaderCommPage::separatorTakesPicksAndTypedCharacters()
{
    m_state.images.ConfigImage[84] = 26; // SUB
    PageContext context{m_state};
    auto page = Open(kReaderCommPage, context);
    page->show();
    auto *box = page->findChild<QComboBox *>(QStringLiteral("cbo45D"));
    QLineEdit *edit = box->lineEdit();
    QCOMPARE(box->currentText(), QStringLiteral("SUB"));

    // Picking the next name of the list, as the arrow key does.
    QTest::keyClick(box, Qt::Key_Down);
    QCOMPARE(box->currentText(), QStringLiteral("ESC"));
    QCOMPARE(int(m_state.images.ConfigImage[84]), 27);

    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("/"));
    QCOMPARE(int(m_state.images.ConfigImage[84]), 47);

    // A letter stays a letter: it is not completed into a name from the list.
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("c"));
    QCOMPARE(edit->text(), QStringLiteral("c"));
    QCOMPARE(int(m_state.images.ConfigImage[84]), 'c');

    // An emptied box and a character the device cannot store leave the byte as it was.
    edit->clear();
    QCOMPARE(int(m_state.images.ConfigImage[84]), 'c');
    // (keyClicks knows only ASCII keys: the text goes in as an input method would put it)
    edit->insert(QStringLiteral("\u20AC"));
    QCOMPARE(int(m_state.images.ConfigImage[84]), 'c');

    // A character of the upper half is its own byte.
    edit->selectAll();
    edit->insert(QStringLiteral("\u00E9"));
    QCOMPARE(int(m_state.images.ConfigImage[84]), 0xE9);

    // Picking the name that was current before typing stores it again.
    box->setCurrentIndex(13);
    QCOMPARE(int(m_state.images.ConfigImage[84]), 13);
}

void TestReaderCommPage::separatorTellsTypedNamesFromPicks_data()
{
    // Steps: "type:<text>" over the whole box, "enter", "leave" (the focus goes elsewhere),
    // "down" (arrow key), "list:<row>" (a click in the open list), "current:<row>" (the
    // current entry set directly, as a selection by assistive technology may set it).
    QTest::addColumn<int>("start");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<int>("expected");
    QTest::newRow("typed name") << 26 << Names({"type:LF"}) << int('L');
    QTest::newRow("typed name, Enter") << 26 << Names({"type:LF", "enter"}) << int('L');
    QTest::newRow("typed name, box left") << 26 << Names({"type:LF", "leave"}) << int('L');
    QTest::newRow("typed over the same name") << 10 << Names({"type:LF", "enter"}) << int('L');
    QTest::newRow("arrow key") << 10 << Names({"down"}) << 11;
    QTest::newRow("list click") << 13 << Names({"list:27"}) << 27;
    QTest::newRow("typed name, then picked") << 26 << Names({"type:LF", "enter", "list:10"}) << 10;
    QTest::newRow("selection") << 13 << Names({"type:x", "current:9"}) << 9;
}

void TestReaderCommPage::separatorTellsTypedNamesFromPicks()
{
    QFETCH(int, start);
    QFETCH(QStringList, steps);
    m_state.images.ConfigImage[84] = static_cast<std::uint8_t>(start);
    PageContext context{m_state};
    auto page = Open(kReaderCommPage, context);
    page->show();
    page->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(page.get()));
    auto *box = page->findChild<QComboBox *>(QStringLiteral("cbo45D"));
    // The box is on the fourth tab.
    page->findChild<QTabWidget *>()->setCurrentIndex(3);
    box->setFocus();
    QTRY_VERIFY(box->lineEdit()->hasFocus());
    for (const QString &step : steps) {
        const QString argument = step.section(QLatin1Char(':'), 1);
        if (step.startsWith(QLatin1String("type:"))) {
            box->lineEdit()->selectAll();
            QTest::keyClicks(box->lineEdit(), argument);
        } else if (step == QLatin1String("enter")) {
            QTest::keyClick(box->lineEdit(), Qt::Key_Return);
        } else if (step == QLatin1String("leave")) {
            page->findChild<QAbstractButton *>(QStringLiteral("cmdDefault45"))->setFocus();
            QTRY_VERIFY(!box->lineEdit()->hasFocus());
        } else if (step == QLatin1String("down")) {
            QTest::keyClick(box, Qt::Key_Down);
        } else if (step.startsWith(QLatin1String("list:"))) {
            box->showPopup();
            QAbstractItemView *list = box->view();
            QTRY_VERIFY(list->isVisible());
            const QModelIndex row = list->model()->index(argument.toInt(), 0);
            list->scrollTo(row);
            const QRect item = list->visualRect(row);
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, item.center());
            QTRY_VERIFY(!list->isVisible());
        } else if (step.startsWith(QLatin1String("current:"))) {
            box->setCurrentIndex(argument.toInt());
        }
    }
    QTEST(int(m_state.images.ConfigImage[84]), "expected");
}

void TestReaderCommPage::separatorShowsStoredCharacters_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("text");
    QTest::newRow("NUL") << 0 << 0 << "NUL";
    QTest::newRow("US") << 31 << 31 << "US";
    QTest::newRow("blank") << 32 << -1 << " ";
    QTest::newRow("comma") << 44 << -1 << ",";
    QTest::newRow("255") << 255 << -1 << QString(QChar(0xFF));
}

void TestReaderCommPage::separatorShowsStoredCharacters()
{
    QFETCH(int, value);
    QFETCH(int, index);
    QFETCH(QString, text);
    m_state.images.ConfigImage[84] = static_cast<std::uint8_t>(value);
    PageContext context{m_state};
    auto page = Open(kReaderCommPage, context);
    auto *box = page->findChild<QComboBox *>(QStringLiteral("cbo45D"));
    QCOMPARE(box->currentIndex(), index);
    QCOMPARE(box->currentText(), text);
    QCOMPARE(int(m_state.images.ConfigImage[84]), value);
}

QTEST_MAIN(TestReaderCommPage)
#include "tst_readercommpage.moc"
