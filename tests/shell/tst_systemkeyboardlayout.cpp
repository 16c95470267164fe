#include "shell/systemkeyboardlayout.h"

#include <QTest>

// The Windows source of the PC's keyboard layout, as the session has it. Under wine the layout
// follows the locale (LC_ALL=de_DE.UTF-8 gives 00000407), so CTest sets the locale and names
// the layout and device language the tool must learn from it.
class TestSystemKeyboardLayout : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void layoutOfTheSession();
};

void TestSystemKeyboardLayout::layoutOfTheSession()
{
    const QString name = qEnvironmentVariable("K30_EXPECTED_LAYOUT");
    bool known = false;
    const int language = qEnvironmentVariableIntValue("K30_EXPECTED_LANGUAGE", &known);
    QVERIFY2(!name.isEmpty() && known, "K30_EXPECTED_LAYOUT and K30_EXPECTED_LANGUAGE name the "
                                       "session's layout and its device language");
    const SystemKeyboardLayout system;
    const std::optional<KeyboardLayout> layout = system.Current();
    QVERIFY(layout);
    QCOMPARE(layout->name, name);
    QCOMPARE(layout->language, std::optional<int>(language));
}

QTEST_APPLESS_MAIN(TestSystemKeyboardLayout)
#include "tst_systemkeyboardlayout.moc"
