// Every save of the window fails at each of its steps (the new file's creation, the write, the
// forcing to the disk, the close, the replacing of the previous file) or finds the file held
// by another program's save: the previous file stays whole, nothing is left beside it, and the
// user is told in a box that names the file.
#include "support/boxanswerer.h"
#include "support/environmentguard.h"
#include "support/files.h"
#include "support/testshell.h"

#include "core/filelock.h"
#include "link/ui/readmemorydialog.h"
#include "shell/pagemanager.h"

#include <QDir>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <optional>

using Box = QMessageBox;

class TestSaveSteps : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void failedStepKeepsTheFile_data();
    void failedStepKeepsTheFile();
};

void TestSaveSteps::failedStepKeepsTheFile_data()
{
    QTest::addColumn<QString>("save"); // the command, as a user gives it
    QTest::addColumn<QByteArray>("step");
    for (const char *save : {"Save", "Save As", "Save As Default", "memory data Save As"}) {
        for (const char *step : {"open", "write", "fsync", "close", "rename"})
            QTest::addRow("%s, %s", save, step) << QString::fromLatin1(save) << QByteArray(step);
    }
    // Held by a save that does not finish: the configuration is saved under a lock.
    QTest::newRow("Save, held") << QStringLiteral("Save") << QByteArray("held");
    QTest::newRow("Save As, held") << QStringLiteral("Save As") << QByteArray("held");
}

void TestSaveSteps::failedStepKeepsTheFile()
{
    QFETCH(QString, save);
    QFETCH(QByteArray, step);
    const QTemporaryDir dir;
    QVERIFY(dir.isValid());
    TestShell shell(dir.path());
    const bool memory = save.startsWith(QLatin1String("memory"));
    const bool defaults = save == QLatin1String("Save As Default");
    const QString path =
        defaults ? dir.filePath(QStringLiteral("program/defaults"))
                 : dir.filePath(memory ? QStringLiteral("scans.txt") : QStringLiteral("site.cfg"));
    const QByteArray previous = QByteArray("kept\r\n").repeated(50);
    WriteFile(path, previous);
    // Where Save As Default tries next.
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("user")));
    if (save == QLatin1String("Save")) {
        shell.state.CurrentFile = path;
    } else if (!memory) {
        shell.names << path;
    }
    shell.state.images.SetBits(24, 1, shell.state.images.GetBits(24, 1) ^ 1);
    // What stands in the test's folder and in the file's own.
    const auto listing = [&dir, &path] {
        const auto filter = QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot;
        return QDir(dir.path()).entryList(filter) + QFileInfo(path).dir().entryList(filter);
    };
    const QStringList entries = listing();
    ReadMemoryDialog *dialog = nullptr;
    if (memory) {
        shell.Trigger("mnuToolsRDM");
        dialog = qobject_cast<ReadMemoryDialog *>(shell.Page());
        QVERIFY(dialog);
        dialog->SetFileNameAsker([path](QWidget *, const QString &) { return path; });
        dialog->findChild<QPlainTextEdit *>(QStringLiteral("TxtMemory"))
            ->setPlainText(QStringLiteral("4006381333931"));
    }

    BoxAnswerer answerer({Box::Ok, Box::Ok});
    {
        std::optional<FileLock> held;
        std::optional<EnvironmentGuard> fail;
        if (step == "held")
            QVERIFY(!held.emplace(path).Lock());
        else
            fail.emplace("K30_TEST_FAIL_SAVE", step);
        if (memory)
            dialog->findChild<QPushButton *>(QStringLiteral("cmdSaveAs"))->click();
        else if (defaults)
            shell.Trigger("mnuFileDefault");
        else
            shell.Trigger(save == QLatin1String("Save") ? "mnuFileSave" : "mnuFileSaveAs");
    }

    QCOMPARE(Contents(path), previous);
    QCOMPARE(listing(), entries);
    QCOMPARE(answerer.seen().size(), 1);
    QCOMPARE(answerer.seen()[0].icon, memory ? Box::Warning : Box::Critical);
    const QString text = answerer.seen()[0].text;
    QVERIFY2(text.contains(path), qPrintable(text));
    QVERIFY2(text.contains(step == "held" ? QStringLiteral("another program")
                                          : QStringLiteral("Input/output error")),
             qPrintable(text));
    if (memory)
        QVERIFY(shell.state.SavedMemoryText.isEmpty());
    else if (defaults)
        QCOMPARE(shell.state.images.DefaultImage, FactoryImage());
    else
        QVERIFY(shell.state.images.IsChanged());
}

QTEST_MAIN(TestSaveSteps)
#include "tst_savesteps.moc"
