#pragma once

#include "core/appstate.h"
#include "core/configfile.h"
#include "ui/pagecontext.h"

#include <QMainWindow>
#include <QPointer>

#include <functional>

class CompareDialog;
class ScanTestDialog;
class FileCommands;
class FindDialog;
class ImageHistory;
class KeyboardLayoutSource;
class KeyboardPort;
class PageManager;
class PortMapping;
class QLabel;
class QMdiArea;
class RecentFilesMenu;
class ReportCommands;
class ShellActions;

// What the program hands the main window at start.
struct ShellSetup
{
    // The keyboard-port transport the link dialogs use; may be null.
    KeyboardPort *keyboard = nullptr;
    // First step of start-up: prepares the keyboard-port transport and tells whether the
    // device can be reached through the keyboard controller. An empty function counts as
    // "not available". Either way every command stays usable; only a message is shown.
    std::function<bool()> initializeKeyboard;
    // Where the defaults file is read at start-up and written by Save As Default.
    DefaultsLocations defaults = DefaultsLocations::Standard();
    // A lasting note in the status bar, such as that the device is simulated; empty: no
    // status bar at all.
    QString statusText;
    // Which device each "Com n" reaches ("&Port Mapping..." in the "&Tools" menu); null: the
    // environment or the standard devices, and the menu item is disabled.
    PortMapping *ports = nullptr;
    // The PC's keyboard layout, checked against the device's keyboard language; none: never
    // checked.
    const KeyboardLayoutSource *keyboardLayout = nullptr;
    // A configuration file to open once start-up is done, as a file manager hands it over;
    // one that cannot be opened is reported as File Open reports it, and the new
    // configuration stays.
    QString file;
};

// The main window (object name `MDImain`): menus, the tool bar `Toolbar1`, the pages opened inside
// it one at a time, start-up and the questions on leaving. It owns nothing of the configuration:
// the AppState it is given is the one shared instance every page edits.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainWindow(AppState &state, ShellSetup setup = {}, QWidget *parent = nullptr);
    ~MainWindow() override;

    FileCommands &Files() const { return *m_files; }
    ReportCommands &Reports() const { return *m_reports; }
    PageManager &Pages() const { return *m_pages; }
    ShellActions &Actions() const { return *m_actions; }
    ImageHistory &History() const { return *m_history; }

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    // A configuration file dropped onto the window is opened as File Open opens it.
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void StartUp(const ShellSetup &setup);
    void ConnectCommands();
    void Exit();
    void SetAllDefault(bool reader);
    void ShowContextHelp();
    void ShowAbout();
    void ShowAdapterNote();
    // The compare window, made when first asked for; one at a time.
    CompareDialog *Comparison();
    void CompareWithFile();
    void CompareWithDevice();
    void ShowFind();
    // The Edit menu follows the history.
    void SyncEditMenu();
    // The status bar counts the parameters that differ from the defaults.
    void ShowDefaultsCount();

    AppState &m_state;
    PageContext m_context;
    QMdiArea *m_area = nullptr;
    ShellActions *m_actions = nullptr;
    PageManager *m_pages = nullptr;
    FileCommands *m_files = nullptr;
    ReportCommands *m_reports = nullptr;
    RecentFilesMenu *m_recent = nullptr;
    ImageHistory *m_history = nullptr;
    FindDialog *m_find = nullptr;
    QLabel *m_defaultsCount = nullptr;
    QPointer<QWidget> m_about;
    QPointer<CompareDialog> m_compare;
    QPointer<ScanTestDialog> m_scanTest;
    // Where the note on "Com 1" stands at start-up: it waits for the window to be on the
    // screen before the port list is read.
    enum class AdapterNoteStep
    {
        BeforeShown,
        AwaitingScreen,
        Done
    };
    AdapterNoteStep m_adapterNote = AdapterNoteStep::BeforeShown;
};
