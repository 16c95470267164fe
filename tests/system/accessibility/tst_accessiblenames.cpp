// A screen reader announces each control by its accessible name. Walking the accessibility
// tree of every page and dialog, as a screen reader does, every control a user can act on
// must have a name, a group box must be named by its own title, and the controls side by side
// in one group must not share a name (two boxes both called "Truncate" tell the user nothing).
#include "about/aboutbox.h"
#include "about/helpwindow.h"
#include "core/pagetable.h"
#include "keys/ui/controlkeydialog.h"
#include "shell/mainwindow.h"
#include "shell/pagemanager.h"

#include <QAccessible>
#include <QAction>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSet>
#include <QStackedWidget>
#include <QTest>

#include <functional>
#include <memory>

namespace {

bool Interactive(QAccessible::Role role)
{
    switch (role) {
    case QAccessible::PushButton:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::ComboBox:
    case QAccessible::EditableText:
    case QAccessible::SpinBox:
    case QAccessible::Slider:
    case QAccessible::PageTab:
    case QAccessible::List:
    case QAccessible::Tree:
    case QAccessible::Table:
    case QAccessible::ButtonMenu:
    case QAccessible::ButtonDropDown:
        return true;
    default:
        return false;
    }
}

QString Describe(QAccessibleInterface *node)
{
    QObject *object = node->object();
    return QStringLiteral("%1 (%2, role %3)")
        .arg(object ? object->objectName() : QStringLiteral("?"),
             object ? QString::fromLatin1(object->metaObject()->className()) : QString())
        .arg(int(node->role()));
}

// What a screen reader announces the control as. A combo box's name on Linux is its value;
// it is announced by the label that names it as its buddy.
QString Announced(QAccessibleInterface *node)
{
    if (node->role() != QAccessible::ComboBox)
        return node->text(QAccessible::Name).trimmed();
    for (const auto &[other, relation] : node->relations(QAccessible::Label)) {
        if (qobject_cast<QLabel *>(other->object()))
            return other->text(QAccessible::Name).trimmed();
    }
    return {};
}

// Hidden on purpose (the tool bar's overflow button), not just on a tab in the background.
bool Hidden(QAccessibleInterface *node)
{
    auto *widget = qobject_cast<QWidget *>(node->object());
    return widget && widget->isHidden() && !qobject_cast<QStackedWidget *>(widget->parentWidget());
}

// Every fault below `node`, one line each; `checked` counts the controls looked at.
void Walk(QAccessibleInterface *node, const QString &path, QStringList &faults, int &checked)
{
    QHash<QString, QString> names; // name -> the first control that had it
    for (int i = 0; i < node->childCount(); ++i) {
        QAccessibleInterface *child = node->child(i);
        if (!child || Hidden(child))
            continue;
        const QString name = Announced(child);
        const QString where = path + QLatin1Char('/') + Describe(child);
        if (auto *group = qobject_cast<QGroupBox *>(child->object());
            group && !group->title().isEmpty()) {
            const QString title = QString(group->title()).remove(QLatin1Char('&'));
            if (name != title.trimmed())
                faults << where + QStringLiteral(": named \"%1\", titled \"%2\"").arg(name, title);
        }
        if (Interactive(child->role())) {
            ++checked;
            if (name.isEmpty())
                faults << where + QStringLiteral(": no name");
            else if (names.contains(name))
                faults << where + QStringLiteral(": named \"%1\" like %2").arg(name, names[name]);
            else
                names.insert(name, Describe(child));
        }
        // A combo box's list and text box are parts of it: it is named as a whole.
        if (child->role() != QAccessible::ComboBox)
            Walk(child, where, faults, checked);
    }
}

QStringList Faults(QWidget *root)
{
    QStringList faults;
    QAccessibleInterface *node = QAccessible::queryAccessibleInterface(root);
    if (!node)
        return {QStringLiteral("no accessible interface")};
    int checked = 0;
    Walk(node, root->objectName(), faults, checked);
    if (checked == 0)
        faults << root->objectName() + QStringLiteral(": no control reached");
    return faults;
}

} // namespace

class TestAccessibleNames : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void pagesNameEveryControl_data();
    void pagesNameEveryControl();
    void dialogsNameEveryControl_data();
    void dialogsNameEveryControl();
};

void TestAccessibleNames::pagesNameEveryControl_data()
{
    QTest::addColumn<int>("type");
    for (const PageInfo &page : kPageTable)
        QTest::newRow(page.window) << page.type;
}

void TestAccessibleNames::pagesNameEveryControl()
{
    QFETCH(int, type);
    AppState state;
    ShellSetup setup;
    setup.initializeKeyboard = [] { return true; };
    MainWindow window(state, setup);
    window.show();
    window.Pages().OpenPage(type);
    QWidget *page = window.Pages().CurrentPage();
    QVERIFY(page);
    const QStringList faults = Faults(page);
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
}

void TestAccessibleNames::dialogsNameEveryControl_data()
{
    QTest::addColumn<QString>("dialog");
    QTest::newRow("Find Parameter") << QStringLiteral("dlgFind");
    QTest::newRow("Control Key, decoder") << QStringLiteral("decoder keys");
    QTest::newRow("Control Key, reader") << QStringLiteral("reader keys");
    QTest::newRow("Test Scan, RS232") << QStringLiteral("frmTestScan");
    QTest::newRow("Test Scan, keyboard") << QStringLiteral("frmTestScan keyboard");
    QTest::newRow("About") << QStringLiteral("about");
    QTest::newRow("manual") << QStringLiteral("help");
}

void TestAccessibleNames::dialogsNameEveryControl()
{
    QFETCH(QString, dialog);
    AppState state;
    ShellSetup setup;
    setup.initializeKeyboard = [] { return true; };
    MainWindow window(state, setup);
    window.show();
    QLineEdit target;
    std::unique_ptr<QWidget> own;
    QWidget *shown = nullptr;
    if (dialog == QLatin1String("dlgFind")) {
        auto *find = window.findChild<QAction *>(QStringLiteral("mnuEditFind"));
        QVERIFY(find);
        find->trigger();
        shown = window.findChild<QDialog *>(dialog);
    } else if (dialog.startsWith(QLatin1String("frmTestScan"))) {
        // On the keyboard path it shows its capture box; over RS232 it listens on "Com 1",
        // here a port that does not exist, so no real port is touched.
        if (dialog.endsWith(QLatin1String("keyboard")))
            state.link.LinkMode = LinkSettings::kByKeyboard;
        qputenv("K30CFG_COM1", "/nonexistent/k30-port");
        window.findChild<QAction *>(QStringLiteral("mnuToolsScan"))->trigger();
        shown = window.findChild<QDialog *>(QStringLiteral("frmTestScan"));
    } else if (dialog.endsWith(QLatin1String("keys"))) {
        own = std::make_unique<ControlKeyDialog>(&target, dialog.startsWith(QLatin1Char('r')));
    } else if (dialog == QLatin1String("about")) {
        own = std::make_unique<AboutBox>();
    } else {
        shown = ShowManual(&window);
    }
    if (own) {
        own->show();
        shown = own.get();
    }
    QVERIFY(shown && shown->isVisible());
    qunsetenv("K30CFG_COM1");
    const QStringList faults = Faults(shown);
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
}

QTEST_MAIN(TestAccessibleNames)
#include "tst_accessiblenames.moc"
