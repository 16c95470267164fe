#include "keys/keytext.h"
#include "keys/ui/controlkeydialog.h"

#include <QAccessible>
#include <QButtonGroup>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QVBoxLayout>

namespace {

QPushButton *Button(QWidget *dialog, const QString &name)
{
    return dialog->findChild<QPushButton *>(name);
}

QLineEdit *NameBox(QWidget *dialog)
{
    return dialog->findChild<QLineEdit *>(QStringLiteral("txtCtrl"));
}

} // namespace

class TestControlKeyDialog : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void controlKeyButtonsNameTheirKeys();
    void functionKeysOnlyForTheReader_data();
    void functionKeysOnlyForTheReader();
    void functionKeyTakesTheModifier_data();
    void functionKeyTakesTheModifier();
    void insertsOverTheSelectionAndStaysOpen();
    void emptyNameInsertsNothing();
    void exitGivesTheFocusBack();
};

void TestControlKeyDialog::controlKeyButtonsNameTheirKeys()
{
    QLineEdit target;
    ControlKeyDialog dialog(&target, false);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Control Key"));
    QVERIFY(dialog.isModal());
    for (int i = 0; i < 32; ++i) {
        QPushButton *button = Button(&dialog, QStringLiteral("btnCtrl_%1").arg(i));
        QVERIFY(button);
        QCOMPARE(button->text(), KeyName(i, false));
        button->click();
        QCOMPARE(NameBox(&dialog)->text(), KeyName(i, false));
    }
    QCOMPARE(Button(&dialog, QStringLiteral("btnCtrl_13"))->text(), QStringLiteral("CR"));
}

void TestControlKeyDialog::functionKeysOnlyForTheReader_data()
{
    QTest::addColumn<bool>("reader");
    QTest::newRow("decoder") << false;
    QTest::newRow("reader") << true;
}

void TestControlKeyDialog::functionKeysOnlyForTheReader()
{
    QFETCH(bool, reader);
    QLineEdit target;
    ControlKeyDialog dialog(&target, reader);
    for (int i = 0; i < 12; ++i) {
        QPushButton *button = Button(&dialog, QStringLiteral("btnF_%1").arg(i));
        QCOMPARE(button->text(), QStringLiteral("F%1").arg(i + 1));
        QCOMPARE(button->isEnabled(), reader);
    }
    auto *status = dialog.findChild<QGroupBox *>(QStringLiteral("Frame1"));
    QCOMPARE(status->title(), QStringLiteral("Status"));
    QCOMPARE(status->isEnabled(), reader);
    QVERIFY(dialog.findChild<QRadioButton *>(QStringLiteral("Option1_0"))->isChecked());
    QVERIFY(NameBox(&dialog)->text().isEmpty());
}

void TestControlKeyDialog::functionKeyTakesTheModifier_data()
{
    QTest::addColumn<int>("modifier");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("toggled"); // by a screen reader's "Toggle", not a click
    QTest::newRow("None") << 0 << QStringLiteral("F7") << false;
    QTest::newRow("Ctrl") << 1 << QStringLiteral("^F7") << false;
    QTest::newRow("Shift") << 2 << QStringLiteral("+F7") << false;
    QTest::newRow("Alt") << 3 << QStringLiteral("%F7") << false;
    QTest::newRow("Alt, toggled") << 3 << QStringLiteral("%F7") << true;
}

void TestControlKeyDialog::functionKeyTakesTheModifier()
{
    QFETCH(int, modifier);
    QFETCH(QString, name);
    QFETCH(bool, toggled);
    QLineEdit target;
    ControlKeyDialog dialog(&target, true);
    auto *option = dialog.findChild<QRadioButton *>(QStringLiteral("Option1_%1").arg(modifier));
    if (toggled)
        QAccessible::queryAccessibleInterface(option)->actionInterface()->doAction(
            QAccessibleActionInterface::toggleAction());
    else
        option->click();
    Button(&dialog, QStringLiteral("btnF_6"))->click();
    QCOMPARE(NameBox(&dialog)->text(), name);
}

void TestControlKeyDialog::insertsOverTheSelectionAndStaysOpen()
{
    QLineEdit target(QStringLiteral("xaby"));
    target.setSelection(1, 2);
    ControlKeyDialog dialog(&target, true);
    dialog.show();
    NameBox(&dialog)->setText(QStringLiteral("^F3"));
    Button(&dialog, QStringLiteral("Command1"))->click();
    QCOMPARE(target.text(), QStringLiteral("x{^F3}y"));
    QVERIFY(NameBox(&dialog)->text().isEmpty());
    QVERIFY(dialog.isVisible());
    // A second key goes in at the caret, after the first.
    Button(&dialog, QStringLiteral("btnCtrl_13"))->click();
    Button(&dialog, QStringLiteral("Command1"))->click();
    QCOMPARE(target.text(), QStringLiteral("x{^F3}{CR}y"));
    QVERIFY(dialog.isVisible());
}

void TestControlKeyDialog::emptyNameInsertsNothing()
{
    QLineEdit target(QStringLiteral("ab"));
    ControlKeyDialog dialog(&target, false);
    Button(&dialog, QStringLiteral("Command1"))->click();
    QCOMPARE(target.text(), QStringLiteral("ab"));
}

void TestControlKeyDialog::exitGivesTheFocusBack()
{
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *other = new QLineEdit(&window);
    auto *target = new QLineEdit(&window);
    layout->addWidget(other);
    layout->addWidget(target);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    other->setFocus();
    ControlKeyDialog dialog(target, false, &window);
    dialog.show();
    dialog.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QCOMPARE(Button(&dialog, QStringLiteral("Command2"))->text(), QStringLiteral("Exit"));
    Button(&dialog, QStringLiteral("Command2"))->click();
    QVERIFY(!dialog.isVisible());
    QTRY_VERIFY(target->hasFocus());
}

QTEST_MAIN(TestControlKeyDialog)
#include "tst_controlkeydialog.moc"
