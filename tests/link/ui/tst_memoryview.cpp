#include "core/pagetable.h"
#include "link/ui/readmemorydialog.h"
#include "shell/pagefactory.h"

#include <QApplication>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

// Presses a button of the next modal message box, and tells what the box said.
struct BoxAnswer
{
    QString text;
    QString title;
    bool seen = false;
};

std::shared_ptr<BoxAnswer> AnswerNextBox(QMessageBox::StandardButton button)
{
    auto answer = std::make_shared<BoxAnswer>();
    auto *poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, answer, button] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        answer->text = box->text();
        answer->title = box->windowTitle();
        answer->seen = true;
        poll->deleteLater();
        poll->stop();
        box->button(button)->click();
    });
    poll->start();
    QTimer::singleShot(5000, poll, &QObject::deleteLater);
    return answer;
}

QByteArray FileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace

class TestMemoryView : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void textAreaShownAndHidden();
    void saveAsThenSave();
    void savedFiles_data();
    void savedFiles();
    void failedSave();
    void closeQuestion_data();
    void closeQuestion();
    void reopening();
    void refusedCloseKeepsSubWindow();

private:
    void Open();
    QPlainTextEdit *TextArea() const
    {
        return m_dialog->findChild<QPlainTextEdit *>(QStringLiteral("TxtMemory"));
    }
    void Click(const char *name)
    {
        m_dialog->findChild<QPushButton *>(QLatin1String(name))->click();
    }
    // The names the file dialog would return, in turn; "" is a cancelled dialog.
    void Asks(QStringList names);

    AppState m_state;
    std::unique_ptr<PageContext> m_context;
    std::unique_ptr<ReadMemoryDialog> m_dialog;
    QTemporaryDir m_dir;
    QStringList m_names;
    QStringList m_proposed;
};

void TestMemoryView::init()
{
    QVERIFY(m_dir.isValid());
    m_state = AppState{};
    m_context = std::make_unique<PageContext>(PageContext{m_state, nullptr});
    m_names.clear();
    m_proposed.clear();
    Open();
}

void TestMemoryView::cleanup()
{
    while (QWidget *box = QApplication::activeModalWidget())
        delete box;
    m_dialog.reset();
}

void TestMemoryView::Open()
{
    m_dialog = std::make_unique<ReadMemoryDialog>(*m_context, nullptr);
    m_dialog->SetFileNameAsker([this](QWidget *, const QString &proposed) {
        m_proposed.append(proposed);
        return m_names.isEmpty() ? QString() : m_names.takeFirst();
    });
    m_dialog->show();
}

void TestMemoryView::Asks(QStringList names)
{
    m_names = std::move(names);
}

void TestMemoryView::textAreaShownAndHidden()
{
    QVERIFY(TextArea()->isHidden());
    // "&Option" with the text area hidden changes nothing.
    Click("CmdDisplay");
    QVERIFY(TextArea()->isHidden());
    QVERIFY(m_dialog->findChild<QWidget *>(QStringLiteral("Frame1"))->isVisible());
    Click("cmdSave"); // no file yet: Save As, cancelled
    QVERIFY(TextArea()->isVisible());
    QVERIFY(!m_dialog->findChild<QWidget *>(QStringLiteral("Frame1"))->isVisible());
    TextArea()->setPlainText(QStringLiteral("typed by hand"));
    Click("CmdDisplay");
    QVERIFY(TextArea()->isHidden());
    QCOMPARE(TextArea()->toPlainText(), QStringLiteral("typed by hand"));
    Click("cmdSaveAs");
    QVERIFY(TextArea()->isVisible());
    QCOMPARE(m_proposed.size(), 2);
}

void TestMemoryView::saveAsThenSave()
{
    const QString path = m_dir.filePath(QStringLiteral("memory"));
    TextArea()->setPlainText(QStringLiteral("one\r\ntwo\r\n"));
    Asks({path});
    Click("cmdSaveAs");
    // ".txt" is added to a name typed without it.
    QCOMPARE(m_dialog->MemFileName(), path + QStringLiteral(".txt"));
    QCOMPARE(FileBytes(path + QStringLiteral(".txt")), QByteArray("one\r\ntwo\r\n\r\n"));
    QCOMPARE(m_state.SavedMemoryText, QStringLiteral("one\r\ntwo\r\n"));

    // "&Save" writes the same file again without asking, replacing its content.
    TextArea()->setPlainText(QStringLiteral("three"));
    Click("cmdSave");
    QCOMPARE(m_proposed.size(), 1);
    QCOMPARE(FileBytes(path + QStringLiteral(".txt")), QByteArray("three\r\n"));
    // Save As proposes the file chosen before; cancelling it writes nothing.
    TextArea()->setPlainText(QStringLiteral("four"));
    Click("cmdSaveAs");
    QCOMPARE(m_proposed.last(), path + QStringLiteral(".txt"));
    QCOMPARE(FileBytes(path + QStringLiteral(".txt")), QByteArray("three\r\n"));
    QCOMPARE(m_state.SavedMemoryText, QStringLiteral("three"));
}

void TestMemoryView::savedFiles_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("file");
    QTest::newRow("empty text") << QString() << QByteArray("\r\n");
    QTest::newRow("lines") << QStringLiteral("a\nb") << QByteArray("a\r\nb\r\n");
    QTest::newRow("latin-1 characters")
        << (QStringLiteral("caf") + QChar(0xE9)) << QByteArray("caf\xE9\r\n");
    // Typed or kept in an edited text, a no-break space stays byte 0xA0.
    QTest::newRow("no-break space")
        << (QStringLiteral("12") + QChar(0xA0) + QStringLiteral("34\n5"))
        << QByteArray("12\xA0"
                      "34\r\n5\r\n");
}

void TestMemoryView::savedFiles()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, file);
    const QString path = m_dir.filePath(QStringLiteral("data.txt"));
    TextArea()->setPlainText(text);
    Asks({path});
    Click("cmdSave");
    QCOMPARE(FileBytes(path), file);
    QCOMPARE(m_dialog->MemFileName(), path);
}

void TestMemoryView::failedSave()
{
    const QString path = m_dir.filePath(QStringLiteral("no-such-folder/data.txt"));
    TextArea()->setPlainText(QStringLiteral("records"));
    Asks({path});
    const auto box = AnswerNextBox(QMessageBox::Ok);
    Click("cmdSaveAs");
    QVERIFY(box->seen);
    QCOMPARE(box->title, QStringLiteral("Memory Data Read"));
    QVERIFY(box->text.contains(QStringLiteral("data.txt")));
    QVERIFY(m_state.SavedMemoryText.isEmpty());
    QVERIFY(!QFile::exists(path));
    // Not saved, so closing still asks.
    const auto question = AnswerNextBox(QMessageBox::Cancel);
    QVERIFY(!m_dialog->close());
    QVERIFY(question->seen);
}

void TestMemoryView::closeQuestion_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("answer");       // 0: no question expected
    QTest::addColumn<QString>("fileName"); // the save dialog's answer after Yes
    QTest::addColumn<bool>("closes");
    QTest::newRow("never used") << QString() << 0 << QString() << true;
    QTest::newRow("cancel") << QStringLiteral("read") << int(QMessageBox::Cancel) << QString()
                            << false;
    QTest::newRow("no") << QStringLiteral("read") << int(QMessageBox::No) << QString() << true;
    QTest::newRow("yes, saved") << QStringLiteral("read") << int(QMessageBox::Yes)
                                << QStringLiteral("saved.txt") << true;
    // Nothing would be lost silently: a save that did not happen keeps the dialog.
    QTest::newRow("yes, save dialog cancelled")
        << QStringLiteral("read") << int(QMessageBox::Yes) << QString() << false;
}

void TestMemoryView::closeQuestion()
{
    QFETCH(QString, text);
    QFETCH(int, answer);
    QFETCH(QString, fileName);
    QFETCH(bool, closes);
    TextArea()->setPlainText(text);
    if (!fileName.isEmpty())
        Asks({m_dir.filePath(fileName)});
    std::shared_ptr<BoxAnswer> box;
    if (answer != 0)
        box = AnswerNextBox(QMessageBox::StandardButton(answer));
    QCOMPARE(m_dialog->close(), closes);
    if (box) {
        QVERIFY(box->seen);
        QCOMPARE(box->text,
                 QStringLiteral("Memory Data had been changed,do you want to save your file?"));
        QCOMPARE(box->title, QStringLiteral("Memory Data Read"));
    }
    QCOMPARE(TextArea()->toPlainText(), text);
    if (!fileName.isEmpty())
        QCOMPARE(FileBytes(m_dir.filePath(fileName)), text.toLatin1() + "\r\n");
}

void TestMemoryView::reopening()
{
    TextArea()->setPlainText(QStringLiteral("first opening"));
    Asks({m_dir.filePath(QStringLiteral("first.txt"))});
    Click("cmdSaveAs");
    QVERIFY(m_dialog->close()); // saved: no question
    m_dialog.reset();

    // The new dialog starts empty, with no file, but remembers what was saved before.
    Open();
    QVERIFY(TextArea()->toPlainText().isEmpty());
    QVERIFY(m_dialog->MemFileName().isEmpty());
    const auto box = AnswerNextBox(QMessageBox::No);
    QVERIFY(m_dialog->close());
    QVERIFY(box->seen);
}

void TestMemoryView::refusedCloseKeepsSubWindow()
{
    // The main window closes the dialog through its sub-window; a refusal must reach it.
    m_dialog.reset();
    QMdiArea area;
    QWidget *page = CreatePage(kMemoryDialog, *m_context);
    QVERIFY(page);
    QCOMPARE(page->objectName(), QStringLiteral("frmReadMemory"));
    QMdiSubWindow *window = area.addSubWindow(page);
    area.show();
    window->show();
    page->findChild<QPlainTextEdit *>(QStringLiteral("TxtMemory"))
        ->setPlainText(QStringLiteral("unsaved"));
    auto box = AnswerNextBox(QMessageBox::Cancel);
    QVERIFY(!window->close());
    QVERIFY(box->seen);
    QVERIFY(window->isVisible());
    box = AnswerNextBox(QMessageBox::No);
    QVERIFY(window->close());
}

QTEST_MAIN(TestMemoryView)
#include "tst_memoryview.moc"
