// A screen reader changes option buttons and check boxes through their "Toggle" action, which
// checks a button without clicking it. Whatever it toggles must be stored exactly as a click
// stores it: on every parameter page, in both link dialogs, and in the track selectors.
#include "support/pagetest.h"

#include "core/fieldcatalogue.h"
#include "core/pagetable.h"
#include "keys/keytext.h"
#include "link/linkchoices.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QTest>

using namespace pagetest;

namespace {

// The screen reader's "Toggle"; false when the button offers none.
bool Toggle(QAbstractButton *button)
{
    QAccessibleInterface *access = QAccessible::queryAccessibleInterface(button);
    QAccessibleActionInterface *actions = access ? access->actionInterface() : nullptr;
    const QString toggle = QAccessibleActionInterface::toggleAction();
    if (!actions || !actions->actionNames().contains(toggle))
        return false;
    actions->doAction(toggle);
    return true;
}

// Clicks or toggles the enabled button of that name; false when there is none.
bool Change(QWidget *root, const QString &name, bool toggle)
{
    auto *button = root->findChild<QAbstractButton *>(name);
    if (!button || !button->isEnabled())
        return false;
    if (toggle)
        return Toggle(button);
    button->click();
    return true;
}

// The link settings a dialog changes, side by side.
QString Shown(const LinkSettings &link)
{
    return QStringLiteral("mode %1, COM%2, %3, %4")
        .arg(link.LinkMode)
        .arg(link.CommPort)
        .arg(link.SerialSettingsText(),
             link.SaveFlag ? QStringLiteral("Save") : QStringLiteral("Not Save"));
}

// The option groups of the link dialogs and what each option does to the settings.
struct LinkGroup
{
    const char *name;
    int options;
    void (*choose)(LinkSettings &, int);
};
constexpr LinkGroup kLinkGroups[] = {
    {"OptMode", 2, ChooseLinkMode},     {"OptPort", 4, ChoosePort},
    {"optBaud", 5, ChooseBaud},         {"optDatabits", 2, ChooseDataBits},
    {"optStopbits", 2, ChooseStopBits}, {"Option1", 2, ChooseSaveOption}};

} // namespace

class TestToggleActions : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void pageOptionsStoreAsClicked_data();
    void pageOptionsStoreAsClicked();
    void linkOptionsStoreAsClicked_data();
    void linkOptionsStoreAsClicked();
    void trackSelectorsShowTheChosenTrack_data();
    void trackSelectorsShowTheChosenTrack();

private:
    AppState m_state;
};

void TestToggleActions::pageOptionsStoreAsClicked_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("index");
    for (const PageInfo &page : ParameterPages()) {
        const int type = page.type;
        for (const FieldSpec *row : FieldsOfPage(page.window)) {
            if (row->kind != FieldKind::Choice && row->kind != FieldKind::Flag)
                continue;
            for (std::size_t i = 0; i < row->options.size(); ++i)
                QTest::addRow("%s %s", row->name, row->options[i].caption)
                    << type << Text(row->control) << int(i);
        }
    }
}

void TestToggleActions::pageOptionsStoreAsClicked()
{
    QFETCH(int, type);
    QFETCH(QString, control);
    QFETCH(int, index);
    const FieldSpec &row = *FindControl(FindPage(type)->window, control.toLatin1().constData());
    const std::size_t i = std::size_t(index);
    const QString button =
        row.kind == FieldKind::Flag
            ? control
            : control + QLatin1Char('_') +
                  QString::number(row.buttonsNamedByCode ? row.options[i].code : index);
    // The page opens with another option chosen.
    ParameterImages start;
    WriteOption(row, (index + 1) % int(row.options.size()), start);

    Image stored[2];
    for (bool toggle : {false, true}) {
        m_state.images = start;
        PageContext context{m_state};
        auto page = Open(type, context);
        QVERIFY2(Change(page.get(), button, toggle), qPrintable(button));
        stored[toggle] = m_state.images.ConfigImage;
    }
    QCOMPARE(stored[true], stored[false]);
    QCOMPARE(FieldCode(row, stored[true]), row.options[i].code);
}

void TestToggleActions::linkOptionsStoreAsClicked_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("group");
    QTest::addColumn<int>("index");
    for (int type : {kTransmitDialog, kMemoryDialog}) {
        for (int g = 0; g < int(std::size(kLinkGroups)); ++g) {
            const LinkGroup &group = kLinkGroups[g];
            // "Download Option" is the transmit dialog's own.
            if (type == kMemoryDialog && group.choose == ChooseSaveOption)
                continue;
            for (int i = 0; i < group.options; ++i)
                QTest::addRow("%s %s_%d", FindPage(type)->window, group.name, i) << type << g << i;
        }
    }
}

void TestToggleActions::linkOptionsStoreAsClicked()
{
    QFETCH(int, type);
    QFETCH(int, group);
    QFETCH(int, index);
    const LinkGroup &options = kLinkGroups[group];
    // The dialog opens "By RS232" (the serial frames enabled) with another option chosen.
    LinkSettings start;
    start.LinkMode = LinkSettings::kByRs232;
    options.choose(start, index == 0 ? 1 : 0);
    const QString button = Text(options.name) + QLatin1Char('_') + QString::number(index);

    LinkSettings stored[2];
    bool serialFrames[2] = {};
    for (bool toggle : {false, true}) {
        m_state.link = start;
        PageContext context{m_state};
        auto dialog = Open(type, context);
        QVERIFY2(Change(dialog.get(), button, toggle), qPrintable(button));
        stored[toggle] = m_state.link;
        serialFrames[toggle] =
            dialog->findChild<QGroupBox *>(QStringLiteral("FraPort"))->isEnabled();
    }
    QCOMPARE(Shown(stored[true]), Shown(stored[false]));
    QCOMPARE(serialFrames[true], serialFrames[false]);
    QVERIFY(Shown(stored[false]) != Shown(start));
}

void TestToggleActions::trackSelectorsShowTheChosenTrack_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("selector");
    QTest::addColumn<int>("first"); // the prefix or suffix byte of track 1
    QTest::addColumn<QList<int>>("tracks");
    for (bool prefix : {true, false}) {
        const char *box = prefix ? "txt694" : "txt693";
        const char *selector = prefix ? "Opt1Track" : "Opt2Track";
        const int first = prefix ? 29 : 37;
        QTest::addRow("%s track 2", selector) << Text(box) << Text(selector) << first << QList{1};
        QTest::addRow("%s track 3", selector) << Text(box) << Text(selector) << first << QList{2};
        QTest::addRow("%s track 3, track 1", selector)
            << Text(box) << Text(selector) << first << QList{2, 0};
    }
}

void TestToggleActions::trackSelectorsShowTheChosenTrack()
{
    QFETCH(QString, box);
    QFETCH(QString, selector);
    QFETCH(int, first);
    QFETCH(QList<int>, tracks);
    // Each track's field holds its own letter: "A", "B", "C".
    ParameterImages start;
    for (int track = 0; track < 3; ++track) {
        auto field = start.ConfigImage.begin() + first + 16 * track;
        std::fill(field, field + 8, kEmptySlot);
        *field = std::uint8_t('A' + track);
    }

    Image stored[2];
    for (bool toggle : {false, true}) {
        m_state.images = start;
        PageContext context{m_state};
        auto page = Open(kReaderMiscPage, context);
        auto *edit = page->findChild<QLineEdit *>(box);
        for (int track : tracks) {
            const QString option = selector + QLatin1Char('_') + QString::number(track);
            QVERIFY2(Change(page.get(), option, toggle), qPrintable(option));
            QCOMPARE(edit->text(), QString(QLatin1Char('A' + track)));
        }
        // What is typed now goes into the field of the track shown.
        edit->selectAll();
        QTest::keyClicks(edit, QStringLiteral("Z"));
        const int shown = first + 16 * tracks.back();
        QCOMPARE(m_state.images.ConfigImage[std::size_t(shown)], std::uint8_t('Z'));
        stored[toggle] = m_state.images.ConfigImage;
    }
    QCOMPARE(stored[true], stored[false]);
}

QTEST_MAIN(TestToggleActions)
#include "tst_toggleactions.moc"
