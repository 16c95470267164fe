#include "support/boxanswerer.h"
#include "support/testshell.h"

#include "core/configfile.h"
#include "link/ui/readmemorydialog.h"

#include <QAction>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

#include <memory>
#include <vector>

using Box = QMessageBox;

namespace {

// Why a file that is not there cannot be opened: the system's words on UNIX, the tool's own
// on Windows.
#ifdef Q_OS_WIN
const QString kMissingFile = QStringLiteral("does not exist");
#else
const QString kMissingFile = QStringLiteral("No such file");
#endif

const QString kChanged =
    QStringLiteral("Configuration had been changed,do you want to save your file?");
const QString kExitQuestion = QStringLiteral("Do you want to save your file?");
const QString kNotConfig = QStringLiteral("This File Is Not A Configuration Setup File");

} // namespace

// The main window's file commands (New, Open, Save, Save As, Save As Default, Exit), their
// questions and file dialog, and the question about changes on closing. Saves that fail are
// in tst_savefailures.
class TestFileCommands : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void startUpReadsSavedDefaults();
    void exitQuestions_data();
    void exitQuestions();
    void closeControlWithChanges_data();
    void closeControlWithChanges();
    void saveAsWritesFileAndCaption();
    void saveOnUnnamedAsksAndCancelWritesNothing();
    void openRefusesWrongMarker();
    void openLoadsAndClosesPage();
    void newKeepsLinkAndResetsTexts();
    void newWithChangesAnsweredYesButCancelled();
    void saveAsDefaultAndRestart();
    void saveAsNames_data();
    void saveAsNames();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestFileCommands::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestFileCommands::startUpReadsSavedDefaults()
{
    Image saved = FactoryImage();
    saved[22] = 33;
    saved[80] = 1;
    const DefaultsLocations where{m_dir->filePath(QStringLiteral("program")),
                                  m_dir->filePath(QStringLiteral("user"))};
    QDir().mkpath(where.programDir);
    QVERIFY(!WriteWholeFile(where.ProgramFile(), WriteDefaults(saved)));
    TestShell shell(m_dir->path());
    QCOMPARE(shell.state.images.DefaultImage, saved);
    QCOMPARE(shell.state.images.ConfigImage, saved);
    QVERIFY(!shell.state.images.IsChanged());
}

void TestFileCommands::exitQuestions_data()
{
    QTest::addColumn<bool>("changed");
    QTest::addColumn<QList<Box::StandardButton>>("answers");
    QTest::addColumn<QStringList>("fileNames"); // what the save dialog answers
    QTest::addColumn<QStringList>("questions");
    QTest::addColumn<bool>("closed");
    QTest::addColumn<bool>("saved");
    const QString file = QStringLiteral("exit.cfg");
    QTest::newRow("unchanged, no: no second question")
        << false << QList{Box::No} << QStringList() << QStringList{kExitQuestion} << true << false;
    QTest::newRow("unchanged, cancel") << false << QList{Box::Cancel} << QStringList()
                                       << QStringList{kExitQuestion} << false << false;
    QTest::newRow("changed, no, then no") << true << QList{Box::No, Box::No} << QStringList()
                                          << QStringList{kExitQuestion, kChanged} << true << false;
    QTest::newRow("changed, no, then cancel")
        << true << QList{Box::No, Box::Cancel} << QStringList()
        << QStringList{kExitQuestion, kChanged} << false << false;
    QTest::newRow("changed, yes and saved: no second question")
        << true << QList{Box::Yes} << QStringList{file} << QStringList{kExitQuestion} << true
        << true;
    QTest::newRow("changed, yes but save dialog cancelled: stays")
        << true << QList{Box::Yes} << QStringList() << QStringList{kExitQuestion} << false << false;
    QTest::newRow("changed, no, then yes and saved")
        << true << QList{Box::No, Box::Yes} << QStringList{file}
        << QStringList{kExitQuestion, kChanged} << true << true;
}

void TestFileCommands::exitQuestions()
{
    QFETCH(bool, changed);
    QFETCH(QList<Box::StandardButton>, answers);
    QFETCH(QStringList, fileNames);
    QFETCH(QStringList, questions);
    QFETCH(bool, closed);
    QFETCH(bool, saved);
    TestShell shell(m_dir->path());
    for (const QString &name : fileNames)
        shell.names << m_dir->filePath(name);
    if (changed)
        shell.state.images.SetBits(24, 1, 1);
    const Image before = shell.state.images.ConfigImage;

    BoxAnswerer answerer(answers);
    shell.Trigger("mnuFileExit");
    QCOMPARE(answerer.texts(), questions);
    QVERIFY(answerer.allAnswered());
    QCOMPARE(shell.window->isVisible(), !closed);
    QCOMPARE(shell.state.images.ConfigImage, before);
    QCOMPARE(QFile::exists(m_dir->filePath(QStringLiteral("exit.cfg"))), saved);
    if (saved)
        QVERIFY(!shell.state.images.IsChanged());
}

void TestFileCommands::closeControlWithChanges_data()
{
    QTest::addColumn<bool>("changed");
    QTest::addColumn<Box::StandardButton>("answer");
    QTest::addColumn<bool>("closed");
    QTest::newRow("unchanged: nothing asked") << false << Box::NoButton << true;
    QTest::newRow("changed, cancel") << true << Box::Cancel << false;
    QTest::newRow("changed, no") << true << Box::No << true;
    QTest::newRow("changed, yes, save dialog cancelled") << true << Box::Yes << false;
}

void TestFileCommands::closeControlWithChanges()
{
    QFETCH(bool, changed);
    QFETCH(Box::StandardButton, answer);
    QFETCH(bool, closed);
    TestShell shell(m_dir->path());
    if (changed)
        shell.state.images.SetBits(22, 3, 1);
    const Image before = shell.state.images.ConfigImage;
    BoxAnswerer answerer(answer == Box::NoButton ? QList<Box::StandardButton>{}
                                                 : QList<Box::StandardButton>{answer});
    QCOMPARE(shell.window->close(), closed);
    QCOMPARE(answerer.texts(), changed ? QStringList{kChanged} : QStringList{});
    QCOMPARE(shell.window->isVisible(), !closed);
    QCOMPARE(shell.state.images.ConfigImage, before);
    QCOMPARE(shell.state.images.IsChanged(), changed);
}

void TestFileCommands::saveAsWritesFileAndCaption()
{
    TestShell shell(m_dir->path());
    shell.names << m_dir->filePath(QStringLiteral("typed"));
    shell.Trigger("mnuFileSaveAs");
    QCOMPARE(shell.asked.size(), 1);
    QCOMPARE(shell.asked[0].first, FileDialogKind::Save);
    QCOMPARE(shell.asked[0].second, QStringLiteral("New File"));
    const QString path = m_dir->filePath(QStringLiteral("typed.cfg"));
    QCOMPARE(shell.state.CurrentFile, path);
    QCOMPARE(shell.window->windowTitle(), QStringLiteral("Configuration Setup: ") + path);
    const QByteArray written = ReadWholeFile(path, kConfigFileSizeLimit).value();
    QCOMPARE(written, WriteConfiguration(shell.state.header, shell.state.link, FactoryImage()));
    QCOMPARE(written.count("\r\n"), 92);

    // Save then writes to the same file without asking.
    shell.state.images.SetBits(24, 1, 1);
    QVERIFY(shell.state.images.IsChanged());
    shell.Trigger("save");
    QCOMPARE(shell.asked.size(), 1);
    QVERIFY(!shell.state.images.IsChanged());
    const QList<QByteArray> lines = ReadWholeFile(path, kConfigFileSizeLimit).value().split('\n');
    QCOMPARE(lines.value(7 + 24), QByteArray(" 1 \r")); // byte 24 on line 32
    QCOMPARE(lines.value(7 + 22), QByteArray(" 34 \r"));
}

void TestFileCommands::saveOnUnnamedAsksAndCancelWritesNothing()
{
    TestShell shell(m_dir->path());
    shell.state.images.SetBits(22, 3, 0);
    shell.Trigger("mnuFileSave");
    QCOMPARE(shell.asked.size(), 1);
    QCOMPARE(shell.asked[0].second, QStringLiteral("New File"));
    QCOMPARE(shell.state.CurrentFile, QStringLiteral("New File"));
    QVERIFY(shell.state.images.IsChanged());
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList());
}

void TestFileCommands::openRefusesWrongMarker()
{
    TestShell shell(m_dir->path());
    const QString first = m_dir->filePath(QStringLiteral("first.cfg"));
    shell.names << first;
    shell.Trigger("mnuFileSaveAs");
    QByteArray upper = ReadWholeFile(first, kConfigFileSizeLimit).value();
    upper.replace(0, 4, "YORN");
    const QString bad = m_dir->filePath(QStringLiteral("upper.cfg"));
    QVERIFY(!WriteWholeFile(bad, upper));

    // Files that cannot be read are refused before anything is read from them: a pipe would
    // wait for a writer, a device never end, and a file far larger than any configuration
    // is none, even with a valid start. The box then tells why.
    const QString large = m_dir->filePath(QStringLiteral("large.cfg"));
    QVERIFY(!WriteWholeFile(large, ReadWholeFile(first, kConfigFileSizeLimit).value() +
                                       QByteArray(kConfigFileSizeLimit, '\n')));
    std::vector<std::pair<QString, QString>> refused = {
        {bad, QString()},
        {m_dir->filePath(QStringLiteral("missing.cfg")), kMissingFile},
        {large, QStringLiteral("too large")},
        {m_dir->path(), QStringLiteral("folder")}};
#ifdef Q_OS_UNIX
    const QString pipe = m_dir->filePath(QStringLiteral("pipe.cfg"));
    QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    refused.emplace_back(pipe, QStringLiteral("pipe"));
    refused.emplace_back(QStringLiteral("/dev/zero"), QStringLiteral("device"));
#endif
    for (const auto &[name, reason] : refused) {
        shell.names << name;
        BoxAnswerer answerer({Box::Ok});
        shell.Trigger("open");
        QCOMPARE(answerer.texts(), QStringList{kNotConfig});
        QCOMPARE(answerer.seen()[0].buttons, Box::StandardButtons(Box::Ok));
        QCOMPARE(answerer.seen()[0].informativeText.isEmpty(), reason.isEmpty());
        QVERIFY2(answerer.seen()[0].informativeText.contains(reason),
                 qPrintable(answerer.seen()[0].informativeText));
        QCOMPARE(shell.state.CurrentFile, first);
        QCOMPARE(shell.window->windowTitle(), QStringLiteral("Configuration Setup: ") + first);
    }
    // A later Save still writes to the previous file.
    shell.state.images.SetBits(24, 1, 1);
    shell.Trigger("mnuFileSave");
    QVERIFY(!shell.state.images.IsChanged());
    QVERIFY(ReadWholeFile(first, kConfigFileSizeLimit).value().startsWith("yorn\r\n"));
}

void TestFileCommands::openLoadsAndClosesPage()
{
    TestShell shell(m_dir->path());
    Image image = FactoryImage();
    image[22] = 32;
    HeaderTexts texts{QStringLiteral("K30 #7"), QStringLiteral("Ann"), QStringLiteral("1.1.24"),
                      QStringLiteral("store, \"front\"")};
    LinkSettings link;
    link.CommPort = 4;
    link.LinkMode = 1;
    const QString path = m_dir->filePath(QStringLiteral("load.cfg"));
    QVERIFY(!WriteWholeFile(path, WriteConfiguration(texts, link, image)));

    shell.Trigger("mnuConfigInterface");
    QCOMPARE(shell.state.PageType, 1);
    shell.state.images.SetBits(24, 1, 1); // unsaved: the question comes first
    shell.names << path;
    BoxAnswerer answerer({Box::No});
    shell.Trigger("mnuFileOpen");
    QCOMPARE(answerer.texts(), QStringList{kChanged});
    QCOMPARE(shell.asked.constLast().first, FileDialogKind::Open);
    QCOMPARE(shell.state.images.ConfigImage, image);
    QVERIFY(!shell.state.images.IsChanged());
    QCOMPARE(shell.state.header.Description, texts.Description);
    QCOMPARE(shell.state.link.CommPort, 4);
    QCOMPARE(shell.state.link.LinkMode, 1);
    QCOMPARE(shell.state.CurrentFile, path);
    QCOMPARE(shell.window->windowTitle(), QStringLiteral("Configuration Setup: ") + path);
    QCOMPARE(shell.state.PageType, 0);
    QVERIFY(!shell.Page());
}

void TestFileCommands::newKeepsLinkAndResetsTexts()
{
    TestShell shell(m_dir->path());
    shell.state.link.CommPort = 3;
    shell.state.link.LinkMode = 1;
    shell.state.header.UserName = QStringLiteral("someone");
    shell.Trigger("mag");
    shell.state.images.SetBits(26, 192, 64);
    shell.state.images.DefaultImage[0] = 90;
    BoxAnswerer answerer({Box::No});
    shell.Trigger("new");
    QCOMPARE(answerer.texts(), QStringList{kChanged});
    QCOMPARE(shell.state.link.CommPort, 3);
    QCOMPARE(shell.state.link.LinkMode, 1);
    QVERIFY(shell.state.MagFlag);
    QCOMPARE(shell.state.header.UserName, QStringLiteral("User's Name"));
    QCOMPARE(shell.state.header.Description, QStringLiteral("Your Description about this Setup"));
    QCOMPARE(shell.state.images.ConfigImage, shell.state.images.DefaultImage);
    QCOMPARE(int(shell.state.images.ConfigImage[0]), 90);
    QVERIFY(!shell.state.images.IsChanged());
    QCOMPARE(shell.window->windowTitle(), QStringLiteral("Configuration Setup: New File"));
}

void TestFileCommands::newWithChangesAnsweredYesButCancelled()
{
    TestShell shell(m_dir->path());
    shell.state.images.SetBits(24, 1, 1);
    shell.state.header.Description = QStringLiteral("mine");
    BoxAnswerer answerer({Box::Yes});
    shell.Trigger("mnuFileNew"); // the save dialog is cancelled
    QCOMPARE(answerer.texts(), QStringList{kChanged});
    QCOMPARE(shell.asked.size(), 1);
    QVERIFY(shell.state.images.IsChanged());
    QCOMPARE(int(shell.state.images.ConfigImage[24]), 1);
    QCOMPARE(shell.state.header.Description, QStringLiteral("mine"));
    QCOMPARE(shell.window->windowTitle(), QStringLiteral("K30 Configuration: New File"));
}

void TestFileCommands::saveAsDefaultAndRestart()
{
    Image saved{};
    {
        TestShell shell(m_dir->path());
        shell.state.images.SetBits(22, 3, 1);
        shell.state.images.SetBits(83, 15, 3);
        saved = shell.state.images.ConfigImage;
        shell.Trigger("mnuFileDefault");
        QCOMPARE(shell.state.images.DefaultImage, saved);
        // Nothing else moves: still changed, still unnamed.
        QVERIFY(shell.state.images.IsChanged());
        QCOMPARE(shell.state.CurrentFile, QStringLiteral("New File"));
        // Set All Default now restores the saved defaults.
        shell.state.images.SetBits(22, 3, 2);
        BoxAnswerer answerer({Box::Yes});
        shell.Trigger("mnuConfigDefault");
        QCOMPARE(int(shell.state.images.ConfigImage[22]), int(saved[22]));
        shell.state.images.MarkSaved();
    }
    TestShell restarted(m_dir->path());
    QCOMPARE(restarted.state.images.DefaultImage, saved);
    QCOMPARE(restarted.state.images.ConfigImage, saved);
}

void TestFileCommands::saveAsNames_data()
{
    QTest::addColumn<bool>("memory");    // the memory dialog's "Save &As", else File > Save As
    QTest::addColumn<QString>("chosen"); // what the file dialog returned
    QTest::addColumn<bool>("exists");    // the file with the suffix exists already
    QTest::addColumn<int>("answer");     // to the replace question; 0: none asked
    for (const bool memory : {false, true}) {
        const QString suffix = memory ? QStringLiteral(".txt") : QStringLiteral(".cfg");
        const auto row = [&](const char *name, const QString &chosen, bool exists, int answer) {
            QTest::newRow(qPrintable(suffix + QLatin1String(", ") + QLatin1String(name)))
                << memory << chosen << exists << answer;
        };
        row("dot, new file", QStringLiteral("typed."), false, 0);
        row("dot, replaced", QStringLiteral("typed."), true, Box::Yes);
        row("dot, kept", QStringLiteral("typed."), true, Box::No);
        row("dots, kept", QStringLiteral("typed..."), true, Box::No);
        row("no extension, kept", QStringLiteral("typed"), true, Box::No);
        // The file dialog asked about the very name written.
        row("full name", QStringLiteral("typed") + suffix, true, 0);
    }
}

void TestFileCommands::saveAsNames()
{
    QFETCH(bool, memory);
    QFETCH(QString, chosen);
    QFETCH(bool, exists);
    QFETCH(int, answer);
    const QString file = memory ? QStringLiteral("typed.txt") : QStringLiteral("typed.cfg");
    const QString path = m_dir->filePath(file);
    const QByteArray previous = "not to be lost\r\n";
    if (exists)
        QVERIFY(!WriteWholeFile(path, previous));
    TestShell shell(m_dir->path());
    BoxAnswerer answerer({Box::StandardButton(answer)});
    if (memory) {
        shell.Trigger("mnuToolsRDM");
        auto *dialog = qobject_cast<ReadMemoryDialog *>(shell.Page());
        QVERIFY(dialog);
        dialog->SetFileNameAsker(
            [&](QWidget *, const QString &) { return m_dir->filePath(chosen); });
        dialog->findChild<QPlainTextEdit *>(QStringLiteral("TxtMemory"))
            ->setPlainText(QStringLiteral("4006381333931"));
        dialog->findChild<QPushButton *>(QStringLiteral("cmdSaveAs"))->click();
    } else {
        shell.state.images.SetBits(24, 1, 1);
        shell.names << m_dir->filePath(chosen);
        shell.Trigger("mnuFileSaveAs");
    }
    QCOMPARE(answerer.seen().size(), answer ? 1 : 0);
    if (answer) {
        QCOMPARE(answerer.seen()[0].title, memory ? QStringLiteral("Memory Data Read")
                                                  : QStringLiteral("Configuration Setup"));
        QVERIFY(answerer.seen()[0].text.contains(QDir::toNativeSeparators(path)));
        QCOMPARE(answerer.seen()[0].buttons, Box::Yes | Box::No);
    }
    const bool written = answer != int(Box::No);
    QCOMPARE(ReadWholeFile(path, kConfigFileSizeLimit).value_or(QByteArray()) == previous,
             !written);
    QCOMPARE(memory ? !shell.state.SavedMemoryText.isEmpty() : !shell.state.images.IsChanged(),
             written);
    // Only the one file, under the name asked about.
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{file});
    shell.state.images.MarkSaved();
}

QTEST_MAIN(TestFileCommands)
#include "tst_filecommands.moc"
