// What the main window does for a technician beyond the pages: undo and redo of every change
// to the image, the controls that differ from the defaults, and finding a parameter by its
// caption, option or name. Everything runs through the real window, as a user works it.
#include "support/boxanswerer.h"
#include "support/testshell.h"

#include "about/helpwindow.h"
#include "core/configfile.h"
#include "core/fieldtext.h"
#include "core/pagetable.h"
#include "shell/filecommands.h"
#include "shell/imagehistory.h"
#include "shell/mainwindow.h"
#include "shell/pagemanager.h"
#include "sim/simdevice.h"
#include "sim/simkeyboardwedge.h"

#include <QAction>
#include <QButtonGroup>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTreeWidget>
#include <QUndoStack>

#include <memory>

namespace {

// The simulated device on the keyboard path, made before the window that types to it.
struct KeyboardDevice
{
    SimDevice device;
    SimKeyboardWedge wedge{device};
};

// One main window on its own state and defaults folder, with a simulated device on the
// keyboard path.
struct Shell : KeyboardDevice, TestShell
{
    explicit Shell(const QString &root) : TestShell(root, Options{.keyboard = &wedge}) {}

    ImageHistory &history() const { return window->History(); }
    QString status() const
    {
        return window->findChild<QLabel *>(QStringLiteral("statusDefaults"))->text();
    }
    // Ctrl+Z or Ctrl+Y where the focus is, as the user presses them.
    void press(Qt::Key key) const
    {
        QWidget *focus = QApplication::focusWidget();
        QTest::keyClick(focus ? focus : window.get(), key, Qt::ControlModifier);
    }
};

const FieldSpec &Field(const char *name)
{
    const FieldSpec *field = FindField(name);
    if (!field)
        qFatal("no field %s", name);
    return *field;
}

// What the open page shows of an option group's or a text box's field.
QString Shown(QWidget *page, const FieldSpec &field)
{
    if (auto *group = page->findChild<QButtonGroup *>(Text(field.control)))
        return group->checkedButton() ? group->checkedButton()->text() : QString();
    return page->findChild<QLineEdit *>(Text(field.control))->text();
}

// A change as a user makes it: "click:<button>", "type:<text>" into the field's box, one
// keystroke at a time, "typeinto:<field>:<text>" into another field's box, or "key:backspace"
// in the box that has the focus. Each event's edits become a step (or none) once the event is
// over; the history then says its state again.
void Act(Shell &shell, const FieldSpec &field, const QString &action)
{
    QSignalSpy settled(&shell.history(), &ImageHistory::StateChanged);
    auto waitForStep = [&settled] {
        QTRY_VERIFY(settled.size() >= 2);
        settled.clear();
    };
    const QString kind = action.section(QLatin1Char(':'), 0, 0);
    QString what = action.section(QLatin1Char(':'), 1);
    if (kind == QLatin1String("click")) {
        auto *button = shell.Page()->findChild<QAbstractButton *>(what);
        QVERIFY2(button, qPrintable(what));
        button->click();
        waitForStep();
        return;
    }
    if (kind == QLatin1String("key")) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
        waitForStep();
        return;
    }
    const FieldSpec *into = &field;
    if (kind == QLatin1String("typeinto")) {
        into = FindField(what.section(QLatin1Char(':'), 0, 0).toStdString());
        what = what.section(QLatin1Char(':'), 1);
    }
    QWidget *box = shell.window->Pages().OpenField(*into);
    QVERIFY(box);
    for (QChar c : what) {
        QTest::keyClick(box, c.toLatin1());
        waitForStep();
    }
}
} // namespace

class TestTechnician : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void editMenu();
    void undoAndRedoPageChanges_data();
    void undoAndRedoPageChanges();
    void setAllDefaultAndDefaultsAtAGlance();
    void uploadIsOneStep();
    void findOpensTheControl_data();
    void findOpensTheControl();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestTechnician::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestTechnician::editMenu()
{
    Shell shell(m_dir->path());
    auto *edit = shell.window->findChild<QMenu *>(QStringLiteral("mnuEdit"));
    QVERIFY(edit);
    QCOMPARE(edit->title(), QStringLiteral("&Edit"));
    QStringList items;
    for (QAction *item : edit->actions())
        items << item->objectName() + QLatin1Char('=') + item->text() + QLatin1Char(' ') +
                     QKeySequence::listToString(item->shortcuts());
    QCOMPARE(items.join(QLatin1Char('|')),
             QStringLiteral("mnuEditUndo=&Undo Ctrl+Z|mnuEditRedo=&Redo Ctrl+Shift+Z; Ctrl+Y|= |"
                            "mnuEditFind=&Find Parameter... Ctrl+F"));
}

void TestTechnician::undoAndRedoPageChanges_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QStringList>("actions");
    QTest::addColumn<int>("steps");
    QTest::newRow("option") << kDecoderCommPage << QStringLiteral("decoder.comm.parity")
                            << QStringList{QStringLiteral("click:optCfg41D_1"),
                                           QStringLiteral("click:optCfg41D_2")}
                            << 2;
    QTest::newRow("Set Default after an option")
        << kDecoderCommPage << QStringLiteral("decoder.comm.parity")
        << QStringList{QStringLiteral("click:optCfg41D_1"), QStringLiteral("click:cmdDefault41")}
        << 2;
    // The keystrokes in one box are one step; a box on another tab is shown and focused, and
    // Ctrl+Z there undoes the image's last step (the language), not the box's own typing.
    QTest::newRow("typed prefix, then a language")
        << kDecoderMiscPage << QStringLiteral("decoder.misc.prefix")
        << QStringList{QStringLiteral("type:ABC"), QStringLiteral("click:opt61_3")} << 2;
    QTest::newRow("track suffix") << kReaderMiscPage << QStringLiteral("reader.misc.track2.suffix")
                                  << QStringList{QStringLiteral("type:Z"),
                                                 QStringLiteral("click:Command4")}
                                  << 2;
    // Set Default on a page that holds its defaults writes every field and changes none.
    QTest::newRow("an action that changes nothing")
        << kDecoderCommPage << QStringLiteral("decoder.comm.parity")
        << QStringList{QStringLiteral("click:cmdDefault41")} << 0;
    QTest::newRow("a character typed and deleted")
        << kDecoderMiscPage << QStringLiteral("decoder.misc.prefix")
        << QStringList{QStringLiteral("type:A"), QStringLiteral("key:backspace")} << 0;
    // Typing into one box, then into another: two steps, the last one undone first.
    QTest::newRow("typed into two fields")
        << kDecoderMiscPage << QStringLiteral("decoder.misc.prefix")
        << QStringList{QStringLiteral("type:A"), QStringLiteral("typeinto:decoder.misc.suffix:B")}
        << 2;
}

void TestTechnician::undoAndRedoPageChanges()
{
    QFETCH(int, type);
    QFETCH(QString, field);
    QFETCH(QStringList, actions);
    QFETCH(int, steps);
    Shell shell(m_dir->path());
    QVERIFY(QTest::qWaitForWindowActive(shell.window.get()));
    const FieldSpec &row = Field(field.toLatin1().constData());
    shell.window->Pages().OpenPage(type);
    QVERIFY(!shell.history().CanUndo());

    QList<Image> images{shell.state.images.ConfigImage};
    QStringList shown{Shown(shell.Page(), row)};
    for (const QString &action : actions) {
        Act(shell, row, action);
        if (QTest::currentTestFailed())
            return;
        images.append(shell.state.images.ConfigImage);
        shown.append(Shown(shell.Page(), row));
    }
    QCOMPARE(shell.history().Stack()->count(), steps);

    // Back one step and forth again; the open page shows each value at once. Without a step,
    // Ctrl+Z changes nothing, not even a box's own typing.
    const qsizetype back = steps > 0 ? images.size() - 2 : images.size() - 1;
    shell.press(Qt::Key_Z);
    QCOMPARE(shell.state.images.ConfigImage, images[back]);
    QCOMPARE(Shown(shell.Page(), row), shown[back]);
    shell.press(Qt::Key_Y);
    QCOMPARE(shell.state.images.ConfigImage, images.last());
    QCOMPARE(Shown(shell.Page(), row), shown.last());

    // All the way back: the saved image again, so nothing is left to save.
    for (int i = 0; i < steps; ++i)
        shell.Trigger("mnuEditUndo");
    QCOMPARE(shell.state.images.ConfigImage, images.first());
    QCOMPARE(Shown(shell.Page(), row), shown.first());
    QVERIFY(!shell.state.images.IsChanged());
    QVERIFY(!shell.window->findChild<QAction *>(QStringLiteral("mnuEditUndo"))->isEnabled());
    QCOMPARE(shell.window->findChild<QAction *>(QStringLiteral("mnuEditRedo"))->isEnabled(),
             steps > 0);
}

void TestTechnician::setAllDefaultAndDefaultsAtAGlance()
{
    // A file whose decoder and reader parities differ from the defaults.
    ParameterImages file;
    file.ConfigImage = FactoryImage();
    WriteOption(Field("decoder.comm.parity"), 1, file);
    WriteOption(Field("reader.comm.parity"), 2, file);
    const QString path = m_dir->filePath(QStringLiteral("site.cfg"));
    QVERIFY(!WriteWholeFile(
        path, WriteConfiguration(NewFileHeaderTexts(), LinkSettings{}, file.ConfigImage)));
    Shell shell(m_dir->path());
    QCOMPARE(shell.status(), QStringLiteral("0 parameters differ from the defaults"));
    shell.names = {path};
    shell.Trigger("mnuFileOpen");
    QCOMPARE(shell.status(), QStringLiteral("2 parameters differ from the defaults"));
    QVERIFY(!shell.history().CanUndo());

    // The decoder page marks its parity, and only that.
    shell.Trigger("mnuConfigComm");
    auto *parity = shell.Page()->findChild<QGroupBox *>(QStringLiteral("FraCfg4_1D"));
    auto *baud = shell.Page()->findChild<QGroupBox *>(QStringLiteral("fraCfg4_1A"));
    QVERIFY(parity->font().bold());
    QVERIFY(!parity->findChild<QAbstractButton *>()->font().bold());
    QCOMPARE(parity->toolTip(), QStringLiteral("Default: None"));
    QVERIFY(!baud->font().bold());
    QVERIFY(baud->toolTip().isEmpty());

    // The reader's "Set All Default" is one step; undoing it leaves nothing to save.
    {
        BoxAnswerer answers({QMessageBox::Yes});
        shell.Trigger("mnuMagDefault");
        QVERIFY(answers.allAnswered());
    }
    QVERIFY(shell.state.images.IsChanged());
    QCOMPARE(shell.status(), QStringLiteral("1 parameter differs from the defaults"));
    shell.Trigger("mnuEditUndo");
    QCOMPARE(shell.state.images.ConfigImage, file.ConfigImage);
    QVERIFY(!shell.state.images.IsChanged());
    QCOMPARE(shell.status(), QStringLiteral("2 parameters differ from the defaults"));

    // Marks follow each change, and each undo.
    QTest::mouseClick(shell.Page()->findChild<QAbstractButton *>(QStringLiteral("cmdDefault41")),
                      Qt::LeftButton);
    QVERIFY(!parity->font().bold());
    QVERIFY(parity->toolTip().isEmpty());
    QTRY_COMPARE(shell.status(), QStringLiteral("1 parameter differs from the defaults"));
    shell.Trigger("mnuEditUndo");
    QVERIFY(parity->font().bold());
    QCOMPARE(Shown(shell.Page(), Field("decoder.comm.parity")),
             Text(Field("decoder.comm.parity").options[1].caption));

    // New starts another history.
    shell.Trigger("mnuFileNew");
    QVERIFY(!shell.history().CanUndo());
    QVERIFY(!shell.history().CanRedo());
    QCOMPARE(shell.history().Stack()->count(), 0);
    QCOMPARE(shell.status(), QStringLiteral("0 parameters differ from the defaults"));
}

void TestTechnician::uploadIsOneStep()
{
    Shell shell(m_dir->path());
    for (int i = 0; i < kImageSize; ++i)
        shell.device.image[static_cast<std::size_t>(i)] = shell.state.images.ConfigImage[i] ^ 1;
    const Image before = shell.state.images.ConfigImage;
    shell.Trigger("mnuConfigTransmit");
    BoxAnswerer answers({QMessageBox::Ok, QMessageBox::Ok});
    shell.Page()->findChild<QAbstractButton *>(QStringLiteral("cmdReceive"))->click();
    QTRY_VERIFY_WITH_TIMEOUT(answers.allAnswered(), 20000);
    QCOMPARE(answers.texts().last(), QStringLiteral("   Upload OK!   "));
    // The device sends its decoder section; the reader section stays as it was.
    for (int i = 0; i < kImageSize; ++i) {
        const auto at = static_cast<std::size_t>(i);
        QCOMPARE(shell.state.images.ConfigImage[at],
                 i <= kDecoderLast ? shell.device.image[at] : before[at]);
    }
    QCOMPARE(shell.history().Stack()->count(), 1);
    shell.Trigger("mnuEditUndo");
    QCOMPARE(shell.state.images.ConfigImage, before);
    QVERIFY(!shell.state.images.IsChanged());
}

void TestTechnician::findOpensTheControl_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("tab");
    QTest::addColumn<QString>("focused");
    QTest::addColumn<QString>("track"); // the track option chosen for the box, if any
    QTest::addColumn<QString>("page");  // the found line's Page column
    const QString comm = QStringLiteral("Magnic_Reader / Communication Parameters");
    // From the decoder section to a reader field on the last tab: the section switches.
    QTest::newRow("reader field by name")
        << QStringLiteral("reader.card.tracks") << 0 << kReaderCommPage
        << QStringLiteral("fraCfg4_3") << QStringLiteral("optCfg45A_15") << QString() << comm;
    QTest::newRow("reader option")
        << QStringLiteral("jis2") << 0 << kReaderCommPage << QStringLiteral("fraCfg4_3")
        << QStringLiteral("OptISO_1") << QString() << comm;
    QTest::newRow("a track's prefix box")
        << QStringLiteral("reader.misc.track3.prefix") << 0 << kReaderMiscPage
        << QStringLiteral("fraCfg6_1") << QStringLiteral("txt694") << QStringLiteral("Opt1Track_2")
        << QStringLiteral("Magnic_Reader / Miscellaneous Parameters");
}

void TestTechnician::findOpensTheControl()
{
    QFETCH(QString, query);
    QFETCH(int, row);
    QFETCH(int, type);
    QFETCH(QString, tab);
    QFETCH(QString, focused);
    QFETCH(QString, track);
    QFETCH(QString, page);
    Shell shell(m_dir->path());
    QVERIFY(QTest::qWaitForWindowActive(shell.window.get()));
    shell.Trigger("mnuConfigComm");
    QTest::keyClick(shell.window.get(), Qt::Key_F, Qt::ControlModifier);
    auto *dialog = shell.window->findChild<QDialog *>(QStringLiteral("dlgFind"));
    QVERIFY(dialog);
    QTRY_VERIFY(dialog->isActiveWindow());
    auto *text = dialog->findChild<QLineEdit *>(QStringLiteral("txtFind"));
    QTRY_VERIFY(text->hasFocus());
    QTest::keyClicks(text, query);
    auto *list = dialog->findChild<QTreeWidget *>(QStringLiteral("lstFind"));
    QVERIFY(list->topLevelItemCount() > row);
    QCOMPARE(list->topLevelItem(row)->text(0), page);
    for (int i = 0; i < row; ++i)
        QTest::keyClick(text, Qt::Key_Down);
    QTest::keyClick(text, Qt::Key_Return);

    QVERIFY(!dialog->isVisible());
    QCOMPARE(shell.state.PageType, type);
    QCOMPARE(shell.state.MagFlag, FindPage(type)->section == Section::Reader);
    const auto tabs = shell.Page()->findChildren<QTabWidget *>();
    QVERIFY(std::any_of(tabs.begin(), tabs.end(), [&](QTabWidget *strip) {
        return strip->currentWidget()->objectName() == tab;
    }));
    QTRY_COMPARE(QApplication::focusWidget() ? QApplication::focusWidget()->objectName()
                                             : QString(),
                 focused);
    if (!track.isEmpty())
        QVERIFY(shell.Page()->findChild<QAbstractButton *>(track)->isChecked());

    // F1 in the dialog opens the manual where it is described.
    shell.Trigger("mnuEditFind");
    QTRY_VERIFY(dialog->isActiveWindow());
    QTest::keyClick(dialog, Qt::Key_F1);
    auto *help = qobject_cast<HelpWindow *>(QApplication::activeWindow());
    QTRY_VERIFY((help = qobject_cast<HelpWindow *>(QApplication::activeWindow())));
    QCOMPARE(help->Browser()->source().fileName(), QStringLiteral("technician.html"));
    QCOMPARE(help->Browser()->source().fragment(), QStringLiteral("dlgFind"));
    help->close();
}

QTEST_MAIN(TestTechnician)
#include "tst_technician.moc"
