#include "about/aboutbox.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <map>

namespace {

// A registry and file system made of maps, and a starter that records what it started.
struct FakeHost
{
    std::map<std::pair<QString, QString>, QString> values;
    QStringList files;
    QStringList started;
    bool startFails = false;

    SysInfoHost host()
    {
        SysInfoHost h;
        h.GetKeyValue = [this](const QString &key, const QString &value) -> std::optional<QString> {
            const auto it = values.find({key, value});
            if (it == values.end())
                return std::nullopt;
            return it->second;
        };
        h.FileExists = [this](const QString &path) { return files.contains(path); };
        h.StartProgram = [this](const QString &path) {
            if (startFails)
                return false;
            started << path;
            return true;
        };
        return h;
    }
};

} // namespace

class TestAboutBox : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void lookUp_data();
    void lookUp();
    void failedStartIsUnavailable();
    void boxShowsTitleAndAnswersSysInfo();
};

void TestAboutBox::lookUp_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<bool>("fileThere");
    QTest::addColumn<QString>("expected");

    QTest::newRow("path value wins") << "C:\\Tools\\msinfo.exe"
                                     << "C:\\Other" << true << "C:\\Tools\\msinfo.exe";
    QTest::newRow("folder fallback") << ""
                                     << "C:\\Shared" << true << "C:\\Shared\\MSINFO32.EXE";
    QTest::newRow("folder without the file") << ""
                                             << "C:\\Shared" << false << "";
    QTest::newRow("nothing found") << ""
                                   << "" << false << "";
}

void TestAboutBox::lookUp()
{
    QFETCH(QString, path);
    QFETCH(QString, folder);
    QFETCH(bool, fileThere);
    QFETCH(QString, expected);

    FakeHost fake;
    if (!path.isEmpty())
        fake.values[{kMsInfoKey, QStringLiteral("PATH")}] = path;
    if (!folder.isEmpty())
        fake.values[{kMsInfoLocationKey, QStringLiteral("MSINFO")}] = folder;
    if (fileThere)
        fake.files << folder + QStringLiteral("\\MSINFO32.EXE");

    QCOMPARE(StartSysInfo(fake.host()), !expected.isEmpty());
    QCOMPARE(fake.started, expected.isEmpty() ? QStringList() : QStringList{expected});
}

void TestAboutBox::failedStartIsUnavailable()
{
    FakeHost fake;
    fake.values[{kMsInfoKey, QStringLiteral("PATH")}] = QStringLiteral("/no/such/program");
    fake.startFails = true;
    QVERIFY(!StartSysInfo(fake.host()));
}

void TestAboutBox::boxShowsTitleAndAnswersSysInfo()
{
    FakeHost fake;
    auto *about = new AboutBox(nullptr, fake.host());
    about->show();
    QCOMPARE(about->windowTitle(), QStringLiteral("About This Software"));
    QVERIFY(!about->isModal());
    QCOMPARE(about->findChild<QLabel *>(QStringLiteral("Label1"))->text(),
             QStringLiteral("K30 Configuration Setup V3.45x01cFR"));
    QCOMPARE(about->findChild<QLabel *>(QStringLiteral("Label3"))->text(),
             QStringLiteral("For Bar Code and Magnetic Card Decoder"));

    QString shown;
    QTimer::singleShot(0, this, [&shown] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        shown = box->text();
        box->button(QMessageBox::Ok)->click();
    });
    about->findChild<QPushButton *>(QStringLiteral("cmdSysInfo"))->click();
    QCOMPARE(shown, QStringLiteral("System Information Is Unavailable At This Time"));

    QPointer<AboutBox> guard(about);
    about->findChild<QPushButton *>(QStringLiteral("cmdOK"))->click();
    QTRY_VERIFY(guard.isNull());
}

QTEST_MAIN(TestAboutBox)
#include "tst_aboutbox.moc"
