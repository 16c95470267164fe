// A seeded monkey: thousands of random menu and tool bar commands, clicks on the open page's
// option buttons, check boxes and "Set Default" buttons, and file commands with random answers
// to the file dialog and to every message box. After each step:
//  - at most one page is open, and PageType names it (0 when none is);
//  - opening or closing a page leaves the image as it was, except that opening a
//    Miscellaneous page stores back the texts it shows: a prefix or suffix becomes its normal
//    form EncodeKeyText(DecodeKeyText(slots)), a code ID holding a control character becomes
//    0; every other byte stays, and opening the page again changes nothing more;
//  - IsChanged() is exactly "ConfigImage differs from the image last loaded or saved", where
//    the test learns of a load or save only from what the user sees and the disk holds: a
//    new caption (New, Open, Save As) or a file written in the folder (Save).
// K30_MONKEY_SEED and K30_MONKEY_STEPS repeat or lengthen a run.
#include "support/testshell.h"

#include "core/fieldcatalogue.h"
#include "core/pagetable.h"
#include "keys/keytext.h"
#include "shell/pagemanager.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <sys/stat.h>
#endif

#include <map>
#include <memory>
#include <optional>

namespace {

// The commands the monkey gives; Exit and Help are left out (they end the run or open
// windows outside the main window).
constexpr const char *kCommands[] = {
    "mnuFileNew",
    "mnuFileOpen",
    "mnuFileSave",
    "mnuFileSaveAs",
    "mnuFileDefault",
    "mnuConfigInterface",
    "mnuConfigComm",
    "mnuConfigBar",
    "mnuConfigMisc",
    "mnuConfigDefault",
    "mnuConfigTransmit",
    "mnuMagInterface",
    "mnuMagComm",
    "mnuMagMisc",
    "mnuMagDefault",
    "mnuMagTransmit",
    "mnuToolsRDM",
    "new",
    "open",
    "save",
    "irm",
    "com",
    "bar",
    "mis",
    "transmit",
    "mag",
};
constexpr const char *kFileCommands[] = {
    "mnuFileNew", "mnuFileOpen", "mnuFileSave", "mnuFileSaveAs", "new", "open", "save"};
constexpr const char *kDefaultCommands[] = {"mnuConfigDefault", "mnuMagDefault", "mnuFileDefault"};

bool IsOneOf(const QString &name, std::span<const char *const> names)
{
    for (const char *n : names)
        if (name == QLatin1String(n))
            return true;
    return false;
}

// A file's inode (Windows: its file index) and modification time.
using FileIdentity = std::pair<quint64, qint64>;

std::optional<FileIdentity> IdentityOf(const QString &path)
{
#ifdef Q_OS_WIN
    const QString native = QDir::toNativeSeparators(path);
    const HANDLE file = CreateFileW(reinterpret_cast<const wchar_t *>(native.utf16()), 0,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info = {};
    const bool known = GetFileInformationByHandle(file, &info);
    CloseHandle(file);
    if (!known)
        return std::nullopt;
    return FileIdentity{quint64(info.nFileIndexHigh) << 32 | info.nFileIndexLow,
                        qint64(info.ftLastWriteTime.dwHighDateTime) << 32 |
                            info.ftLastWriteTime.dwLowDateTime};
#else
    struct stat st = {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return std::nullopt;
    return FileIdentity{st.st_ino, qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
#endif
}

// Identity of every file in the folder: QSaveFile replaces a file by a new one, so a save
// shows as a new inode even when the contents did not change.
std::map<QString, FileIdentity> FilesIn(const QString &dir)
{
    std::map<QString, FileIdentity> files;
    for (const QFileInfo &info : QDir(dir).entryInfoList(QDir::Files)) {
        if (const auto identity = IdentityOf(info.filePath()))
            files[info.fileName()] = *identity;
    }
    return files;
}

// Opening a page shows the image without writing it, with one intended exception: the
// Miscellaneous pages store back the texts they show, so a prefix or suffix becomes its normal
// form EncodeKeyText(DecodeKeyText(slots)) and a code ID holding a control character becomes 0
// (no code ID). True when `after` differs from `before` at most by that.
bool OnlyShownFormsStored(const QString &page, const Image &before, const Image &after,
                          QString *why)
{
    std::vector<bool> stored(kImageSize, false);
    for (const FieldSpec *field : FieldsOfPage(page.toStdString())) {
        const auto first = std::size_t(field->byte);
        if (field->kind == FieldKind::KeyText) {
            const auto count = std::size_t(field->slots);
            auto was = std::span(before).subspan(first, count);
            auto now = std::span(after).subspan(first, count);
            std::array<std::uint8_t, kReaderKeySlots> normal{};
            const auto normalSlots = std::span(normal).first(count);
            EncodeKeyText(DecodeKeyText(was, field->functionKeys), normalSlots,
                          field->functionKeys);
            if (!std::equal(now.begin(), now.end(), was.begin()) &&
                !std::equal(now.begin(), now.end(), normalSlots.begin())) {
                *why = QStringLiteral("key field %1 changed, but not to its normal form")
                           .arg(QLatin1String(field->name));
                return false;
            }
            std::fill_n(stored.begin() + std::ptrdiff_t(first), count, true);
        } else if (field->kind == FieldKind::Character && field->lowestCharacter > 0) {
            if (before[first] != after[first] &&
                !(before[first] < field->lowestCharacter && after[first] == 0)) {
                *why = QStringLiteral("code ID %1 changed from %2 to %3")
                           .arg(QLatin1String(field->name))
                           .arg(before[first])
                           .arg(after[first]);
                return false;
            }
            stored[first] = true;
        }
    }
    for (int i = 0; i < kImageSize; ++i) {
        if (!stored[std::size_t(i)] && before[i] != after[i]) {
            *why =
                QStringLiteral("byte %1 changed from %2 to %3").arg(i).arg(before[i]).arg(after[i]);
            return false;
        }
    }
    return true;
}

} // namespace

class TestMonkey : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void randomSession();
};

void TestMonkey::randomSession()
{
    const quint32 seed = qEnvironmentVariableIsSet("K30_MONKEY_SEED")
                             ? quint32(qEnvironmentVariableIntValue("K30_MONKEY_SEED"))
                             : 20240501u;
    const int steps = qEnvironmentVariableIsSet("K30_MONKEY_STEPS")
                          ? qEnvironmentVariableIntValue("K30_MONKEY_STEPS")
                          : 2500;
    qInfo("monkey seed %u (K30_MONKEY_SEED=%u repeats this run), %d steps", seed, seed, steps);
    QRandomGenerator random(seed);

    QTemporaryDir root;
    QVERIFY(root.isValid());
    const QString files = root.filePath(QStringLiteral("files"));
    QVERIFY(QDir().mkpath(files));
    QFile notConfig(QDir(files).filePath(QStringLiteral("notes.cfg")));
    QVERIFY(notConfig.open(QIODevice::WriteOnly));
    notConfig.write("not a configuration\r\n");
    notConfig.close();
    // What the file dialog answers: cancel, files in the folder (one is no configuration,
    // one does not exist until saved), and a place where nothing can be saved.
    const QStringList names = {QString(),
                               QDir(files).filePath(QStringLiteral("a.cfg")),
                               QDir(files).filePath(QStringLiteral("b")),
                               QDir(files).filePath(QStringLiteral("notes.cfg")),
                               QDir(files).filePath(QStringLiteral("missing/c.cfg")),
                               QStringLiteral("/proc/k30cfg-monkey.cfg")};

    TestShell shell(root.path());
    AppState &state = shell.state;
    MainWindow &window = *shell.window;
    window.Files().SetFileNameAsker([&](QWidget *, FileDialogKind, const QString &) {
        return names.at(int(random.bounded(names.size())));
    });
    auto *area = window.findChild<QMdiArea *>(QStringLiteral("mdiArea"));
    QVERIFY(area);

    // Every box is answered with one of its own buttons, at random; any other modal dialog
    // is closed.
    int boxes = 0;
    QTimer answerer;
    answerer.setInterval(0);
    connect(&answerer, &QTimer::timeout, this, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            const QList<QAbstractButton *> buttons = box->buttons();
            ++boxes;
            buttons.at(int(random.bounded(buttons.size())))->click();
        } else if (auto *dialog = qobject_cast<QDialog *>(modal)) {
            dialog->reject();
        }
    });
    answerer.start();

    // A monkey image: random bytes everywhere, as if loaded from a file.
    for (auto &byte : state.images.ConfigImage)
        byte = std::uint8_t(random.bounded(256));
    state.images.MarkSaved();
    Image lastSaved = state.images.ConfigImage;

    QSignalSpy captions(&window.Files(), &FileCommands::CaptionChanged);
    QElapsedTimer clock;
    clock.start();
    int commands = 0;
    int clicks = 0;
    int normalisations = 0;
    int loadsAndSaves = 0;
    for (int step = 0; step < steps; ++step) {
        const Image before = state.images.ConfigImage;
        const QString pageBefore =
            window.Pages().CurrentPage() ? window.Pages().CurrentPage()->objectName() : QString();
        const auto filesBefore = FilesIn(files);
        captions.clear();

        QString what;
        bool pageCommand = false;
        QWidget *page = window.Pages().CurrentPage();
        QList<QAbstractButton *> controls;
        if (page) {
            for (QAbstractButton *button : page->findChildren<QAbstractButton *>()) {
                const bool option =
                    qobject_cast<QRadioButton *>(button) || qobject_cast<QCheckBox *>(button);
                const bool setDefault =
                    button->objectName().startsWith(QLatin1String("cmdDefault"));
                if ((option || setDefault) && button->isVisible() && button->isEnabled())
                    controls.append(button);
            }
        }
        if (!controls.isEmpty() && random.bounded(2) == 0) {
            QAbstractButton *button = controls.at(int(random.bounded(controls.size())));
            what = QStringLiteral("click ") + button->objectName();
            button->click();
            ++clicks;
        } else {
            const QString name =
                QLatin1String(kCommands[random.bounded(int(std::size(kCommands)))]);
            what = QStringLiteral("command ") + name;
            pageCommand = !IsOneOf(name, kFileCommands) && !IsOneOf(name, kDefaultCommands);
            window.findChild<QAction *>(name)->trigger();
            ++commands;
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();

        const QString context =
            QStringLiteral("step %1 (%2), seed %3").arg(step).arg(what).arg(seed);
        // At most one page, and PageType names it.
        QList<QMdiSubWindow *> open;
        for (QMdiSubWindow *sub : area->subWindowList())
            if (sub->widget())
                open.append(sub);
        QVERIFY2(open.size() <= 1, qPrintable(context));
        QWidget *pageAfter = window.Pages().CurrentPage();
        const PageInfo *info = FindPage(state.PageType);
        if (pageAfter) {
            QVERIFY2(info && pageAfter->objectName() == QLatin1String(info->window),
                     qPrintable(context + QStringLiteral(": PageType %1").arg(state.PageType)));
            QVERIFY2(open.size() == 1 && open.front()->widget() == pageAfter, qPrintable(context));
        } else {
            QVERIFY2(state.PageType == 0 && open.isEmpty(),
                     qPrintable(context + QStringLiteral(": PageType %1").arg(state.PageType)));
        }
        // Opening and closing pages.
        if (pageCommand) {
            const QString opened = pageAfter ? pageAfter->objectName() : QString();
            QString why;
            if (opened.isEmpty() || opened == pageBefore)
                QVERIFY2(state.images.ConfigImage == before, qPrintable(context));
            else if (state.images.ConfigImage != before) {
                ++normalisations;
                QVERIFY2(OnlyShownFormsStored(opened, before, state.images.ConfigImage, &why),
                         qPrintable(context + QStringLiteral(": ") + why));
                // What the page stored is what it shows: closing and opening it again
                // changes nothing more.
                const Image stored = state.images.ConfigImage;
                window.Pages().OpenPage(state.PageType);
                QCOMPARE(state.PageType, 0);
                window.Pages().OpenPage(FindPageByWindow(opened.toStdString())->type);
                QCOMPARE(window.Pages().CurrentPage()->objectName(), opened);
                QVERIFY2(state.images.ConfigImage == stored, qPrintable(context));
            }
        }
        // What was last loaded or saved, as the user and the disk show it.
        if (!captions.isEmpty() || FilesIn(files) != filesBefore) {
            lastSaved = state.images.ConfigImage;
            ++loadsAndSaves;
        }
        QVERIFY2(state.images.IsChanged() == (state.images.ConfigImage != lastSaved),
                 qPrintable(context));
    }
    qInfo("%d steps in %d ms: %d commands, %d clicks on pages, %d boxes answered, "
          "%d loads or saves, %d openings that stored shown forms",
          steps, int(clock.elapsed()), commands, clicks, boxes, loadsAndSaves, normalisations);
    answerer.stop();
}

QTEST_MAIN(TestMonkey)
#include "tst_monkey.moc"
