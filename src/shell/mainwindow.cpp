#include "shell/mainwindow.h"

#include "about/aboutbox.h"
#include "about/helpwindow.h"

#include "core/fieldcatalogue.h"
#include "core/fieldtext.h"
#include "core/pagetable.h"
#include "link/ports/portmapping.h"
#include "link/ui/comparedialog.h"
#include "link/ui/finddevicedialog.h"
#include "link/ui/linkdialog.h"
#include "link/ui/portmappingdialog.h"
#include "link/ui/scantestdialog.h"
#include "shell/droppedfile.h"
#include "shell/entrylocator.h"
#include "shell/filecommands.h"
#include "shell/finddialog.h"
#include "shell/imagehistory.h"
#include "shell/pagemanager.h"
#include "shell/recentfilesmenu.h"
#include "shell/reportcommands.h"
#include "shell/shellactions.h"
#include "shell/shelltexts.h"
#include "ui/helpkey.h"

#include <QAction>
#include <QCloseEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QSet>
#include <QStatusBar>
#include <QTimer>
#include <QWindow>

namespace {

const QString kStartDescription = QStringLiteral("Your description about this configuration file");

} // namespace

MainWindow::MainWindow(AppState &state, ShellSetup setup, QWidget *parent)
    : QMainWindow(parent),
      m_state(state), m_context{state, setup.keyboard, setup.ports, setup.keyboardLayout}
{
    setObjectName(QStringLiteral("MDImain"));
    m_area = new QMdiArea(this);
    m_area->setObjectName(QStringLiteral("mdiArea"));
    // A page taller or wider than the window can still be scrolled into view.
    m_area->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_area->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_area);
    m_actions = new ShellActions(this);
    m_pages = new PageManager(m_context, m_area, *m_actions, this);
    m_files = new FileCommands(m_state, setup.defaults, this);
    m_reports = new ReportCommands(m_state, *m_files, this);
    m_recent = new RecentFilesMenu(findChild<QMenu *>(QStringLiteral("mnuFile")),
                                   m_actions->Action(u"mnuFileExit"), this);
    m_history = new ImageHistory(m_state.images, this);
    ConnectCommands();
    // F1 opens the manual at the page that is open, or at its contents.
    AddHelpKey(this, [this] { ShowContextHelp(); });
    if (!setup.statusText.isEmpty()) {
        auto *note = new QLabel(setup.statusText, this);
        note->setObjectName(QStringLiteral("statusText"));
        statusBar()->addPermanentWidget(note, 1);
    }
    m_defaultsCount = new QLabel(this);
    m_defaultsCount->setObjectName(QStringLiteral("statusDefaults"));
    statusBar()->addPermanentWidget(m_defaultsCount);
    resize(1000, 720);
    setAcceptDrops(true);
    StartUp(setup);
    if (m_context.ports)
        connect(m_context.ports, &PortMapping::Changed, this, &MainWindow::ShowAdapterNote);
}

MainWindow::~MainWindow() = default;

void MainWindow::StartUp(const ShellSetup &setup)
{
    const bool keyboard = setup.initializeKeyboard && setup.initializeKeyboard();
    if (!keyboard) {
        QMessageBox box(QMessageBox::Warning, ShellTitle(),
                        QStringLiteral("There is an error for keyboard, you can download and "
                                       "upload CFG data only by RS232!"),
                        QMessageBox::Ok, this);
        // F1 opens the manual where it says what the keyboard path needs on this system.
        AddHelpKey(&box, [this] { ShowManual(this, QStringLiteral("raw-io")); });
        box.exec();
    }
    m_state.PageType = kNoPage;
    // The link settings' start-up values (core/linkoptions.h).
    m_state.link = LinkSettings();
    m_state.MagFlag = false;
    // The texts of File New, except that start-up has a description of its own.
    m_state.header = NewFileHeaderTexts();
    m_state.header.Description = kStartDescription;
    m_state.CurrentFile = kNewFile;
    setWindowTitle(QStringLiteral("K30 Configuration: ") + m_state.CurrentFile);
    // Context help has no equivalent here: the help menu opens the help when it exists.
    m_state.images.DefaultImage = LoadDefaults(setup.defaults);
    m_state.images.ResetToDefaults();
    m_pages->UpdateToolbarMode();
    m_history->Restart();
    if (!setup.file.isEmpty())
        m_files->OpenFile(setup.file);
}

void MainWindow::dragEnterEvent(QDragEnterEvent *event)
{
    if (!DroppedFile(*event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent *event)
{
    const QString path = DroppedFile(*event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    // The program the file came from waits until the drop is done: the question and the
    // refusal come after that, not inside it.
    QTimer::singleShot(0, this, [this, path] { m_files->OpenFile(path); });
}

void MainWindow::ConnectCommands()
{
    auto on = [this](const char *name, auto handler) {
        connect(m_actions->Action(Text(name)), &QAction::triggered, this, handler);
    };
    on("mnuFileNew", [this] { m_files->New(); });
    on("new", [this] { m_files->New(); });
    on("mnuFileOpen", [this] { m_files->Open(); });
    on("open", [this] { m_files->Open(); });
    on("mnuFileSave", [this] { m_files->Save(); });
    on("save", [this] { m_files->Save(); });
    on("mnuFileSaveAs", [this] { m_files->SaveAs(); });
    on("mnuFileDefault", [this] {
        // Other defaults: other fields differ from them.
        if (m_files->SaveAsDefault()) {
            m_pages->MarkDefaults();
            ShowDefaultsCount();
        }
    });
    on("mnuFileCompare", [this] { CompareWithFile(); });
    on("mnuFileCompareDevice", [this] { CompareWithDevice(); });
    on("mnuFilePrintReport", [this] { m_reports->Print(); });
    on("mnuFileExportReport", [this] { m_reports->Export(); });
    on("mnuFileExit", [this] { Exit(); });
    on("mnuConfigDefault", [this] { SetAllDefault(false); });
    on("mnuMagDefault", [this] { SetAllDefault(true); });
    on("mag", [this] { m_pages->SwitchSection(); });
    on("mnuEditUndo", [this] { m_history->Undo(); });
    on("mnuEditRedo", [this] { m_history->Redo(); });
    on("mnuEditFind", [this] { ShowFind(); });
    on("mnuHelpContents", [this] { ShowManual(this); });
    on("mnuHelpAbout", [this] { ShowAbout(); });
    m_actions->Action(u"mnuToolsPorts")->setEnabled(m_context.ports != nullptr);
    on("mnuToolsPorts", [this] { PortMappingDialog::Open(*m_context.ports, this); });
    on("mnuToolsScan", [this] {
        // One window listens: a second would find the port held by the first.
        if (!m_scanTest)
            m_scanTest = new ScanTestDialog(m_context, this);
        m_scanTest->show();
        m_scanTest->raise();
        m_scanTest->activateWindow();
    });
    m_actions->Action(u"mnuToolsFind")->setEnabled(m_context.ports != nullptr);
    on("mnuToolsFind", [this] {
        auto *dialog = FindDeviceDialog::Open(m_context.state.link, *m_context.ports, this);
        // An open link dialog shows the port and settings the device was found at.
        connect(dialog, &FindDeviceDialog::Used, this, [this] {
            for (QMdiSubWindow *window : m_area->subWindowList()) {
                if (auto *link = qobject_cast<LinkDialog *>(window->widget()))
                    link->ShowLinkSettings();
            }
        });
    });
    // The page table says which menu items and tool bar buttons open which page; a tool bar
    // button opens the page of the section the tool bar addresses, so it is connected once.
    QSet<QString> toolButtons;
    for (const PageInfo &page : kPageTable) {
        for (const PageMenuItem &item : page.menuItems) {
            if (*item.name)
                on(item.name, [this, type = page.type] { m_pages->OpenPage(type); });
        }
        if (*page.toolButton && !toolButtons.contains(Text(page.toolButton))) {
            toolButtons.insert(Text(page.toolButton));
            on(page.toolButton,
               [this, key = page.toolButton] { m_pages->OpenToolButtonPage(key); });
        }
    }

    connect(m_files, &FileCommands::CaptionChanged, this, &QWidget::setWindowTitle);
    connect(m_files, &FileCommands::EditingPagesMustClose, m_pages,
            &PageManager::CloseEditingPages);
    connect(m_files, &FileCommands::FileUsed, m_recent, &RecentFilesMenu::Add);
    connect(m_recent, &RecentFilesMenu::OpenRequested, m_files, &FileCommands::OpenFile);

    connect(m_files, &FileCommands::ConfigurationReplaced, m_history, &ImageHistory::Restart);
    // Another configuration: it no longer comes from the device last uploaded from.
    connect(m_files, &FileCommands::ConfigurationReplaced, this, [this] {
        m_state.UploadPort.clear();
        m_state.UploadVersion.clear();
    });
    connect(m_pages, &PageManager::PageEdited, m_history, &ImageHistory::NoteEdit);
    connect(m_pages, &PageManager::UploadEnded, m_history,
            [this] { m_history->Record(QStringLiteral("Upload")); });
    connect(m_history, &ImageHistory::Restored, m_pages, &PageManager::RefreshPage);
    connect(m_history, &ImageHistory::ImageChanged, this, &MainWindow::ShowDefaultsCount);
    connect(m_history, &ImageHistory::StateChanged, this, &MainWindow::SyncEditMenu);
    SyncEditMenu();
}

void MainWindow::SyncEditMenu()
{
    m_actions->Action(u"mnuEditUndo")->setEnabled(m_history->CanUndo());
    m_actions->Action(u"mnuEditRedo")->setEnabled(m_history->CanRedo());
}

void MainWindow::ShowDefaultsCount()
{
    const int count = DifferingFieldCount(m_state.images.ConfigImage, m_state.images.DefaultImage);
    m_defaultsCount->setText(DefaultsCountText(count));
}

void MainWindow::ShowFind()
{
    if (!m_find) {
        m_find = new FindDialog(this);
        connect(m_find, &FindDialog::ParameterChosen, this,
                [this](const FieldSpec &field, int option) {
                    activateWindow();
                    m_pages->OpenField(field, option);
                });
    }
    m_find->Start();
}

void MainWindow::Exit()
{
    const auto answer =
        QMessageBox::question(this, ShellTitle(), QStringLiteral("Do you want to save your file?"),
                              QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer == QMessageBox::Cancel)
        return;
    // A save that was cancelled or failed keeps the program running: nothing is lost.
    if (answer == QMessageBox::Yes && !m_files->Save())
        return;
    close();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (!m_files->SaveChangesFirst()) {
        event->ignore();
        return;
    }
    // The open page or dialog closes first, so the memory dialog can ask about its unsaved
    // text; when it is kept open, so is the program.
    if (m_pages->ClosePage() == PageManager::kCloseRefused) {
        event->ignore();
        return;
    }
    event->accept();
}

void MainWindow::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    // The note on "Com 1" needs the port list, which takes a while to read: it is read once,
    // after the window has first been painted on the screen, and only where the note may
    // apply.
    if (m_adapterNote != AdapterNoteStep::BeforeShown || !windowHandle())
        return;
    if (!m_context.ports || !m_context.ports->AdapterNoteMayCome()) {
        m_adapterNote = AdapterNoteStep::Done;
        return;
    }
    m_adapterNote = AdapterNoteStep::AwaitingScreen;
    windowHandle()->installEventFilter(this);
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == windowHandle() && event->type() == QEvent::Expose &&
        m_adapterNote == AdapterNoteStep::AwaitingScreen) {
        // The window paints itself on this event: the note comes after that.
        QTimer::singleShot(0, this, [this] {
            if (m_adapterNote != AdapterNoteStep::AwaitingScreen || !windowHandle() ||
                !windowHandle()->isExposed())
                return;
            m_adapterNote = AdapterNoteStep::Done;
            windowHandle()->removeEventFilter(this);
            ShowAdapterNote();
        });
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::SetAllDefault(bool reader)
{
    const QString text =
        reader ? QStringLiteral("Are you sure to set all to default values for Magnet Reader?")
               : QStringLiteral("Are you sure to set all to default values for Bar Decoder?");
    const auto answer = QMessageBox::warning(this, ShellTitle(), text,
                                             QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    if (answer == QMessageBox::No)
        return;
    if (reader)
        m_state.images.CopyReaderDefaults();
    else
        m_state.images.CopyDecoderDefaults();
    m_history->Record(QStringLiteral("Set All Default"));
}

void MainWindow::ShowContextHelp()
{
    const PageInfo *page = FindPage(m_state.PageType);
    ShowManual(this, page ? Text(page->window) : QString());
}

CompareDialog *MainWindow::Comparison()
{
    if (!m_compare) {
        m_compare = new CompareDialog(
            m_context,
            [this](const QString &path, int *incomplete) {
                return m_files->ReadDocument(path, incomplete);
            },
            this);
        connect(m_compare, &CompareDialog::EntryChosen, this, [this](const ConfigEntry &entry) {
            if (!IsShownOnAPage(m_state, entry)) {
                statusBar()->showMessage(
                    QStringLiteral("%1 is shown on no page; only files and the device hold it.")
                        .arg(entry.caption));
                return;
            }
            activateWindow();
            ShowEntryControl(*m_pages, m_state, entry);
        });
    }
    return m_compare;
}

void MainWindow::CompareWithFile()
{
    const QString path = m_files->AskFileName(FileDialogKind::Open);
    if (path.isEmpty() || !Comparison()->CompareWithFile(path))
        return;
    m_compare->show();
    m_compare->raise();
    m_compare->activateWindow();
}

void MainWindow::CompareWithDevice()
{
    CompareDialog *dialog = Comparison();
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
    dialog->CompareWithDevice();
}

void MainWindow::ShowAbout()
{
    // The about box stands beside the open page and leaves it open.
    if (!m_about) {
        m_about = new AboutBox(this);
        m_about->setWindowFlag(Qt::Tool);
    }
    m_about->show();
    m_about->raise();
    m_about->activateWindow();
}

void MainWindow::ShowAdapterNote()
{
    // Said once: "Com 1" took the only USB adapter because nothing else was chosen for it.
    const QString note = m_context.ports->TakeAdapterNote();
    if (!note.isEmpty())
        statusBar()->showMessage(note);
}
