#pragma once

#include "core/appstate.h"
#include "core/configdocument.h"
#include "core/configfile.h"

#include <QObject>

#include <functional>

class QWidget;

enum class FileDialogKind
{
    Open,
    Save,
    Report // File > Export Report: a PDF or HTML file
};

// Asks the user for a configuration file name; an empty name means the dialog was cancelled.
// `proposed` presets the name field of the save dialog.
using FileNameAsker =
    std::function<QString(QWidget *parent, FileDialogKind kind, const QString &proposed)>;

// The file dialog `CmDlg`: QFileDialog with the filter "Config Setup Files(*.cfg)". The
// save dialog asks before replacing a file; Save As then adds ".cfg" to a name without an
// extension (ConfirmedSaveName, which asks again when that name exists).
QString AskWithFileDialog(QWidget *parent, FileDialogKind kind, const QString &proposed);

// The File menu: New, Open, Save, Save As, Save As Default, and the question about unsaved
// changes that New, Open and the main window's closing ask.
class FileCommands : public QObject
{
    Q_OBJECT
public:
    FileCommands(AppState &state, DefaultsLocations defaults, QWidget *window);

    void SetFileNameAsker(FileNameAsker asker) { m_askFileName = std::move(asker); }
    // The file dialog every command of the window asks with; empty when it was cancelled.
    QString AskFileName(FileDialogKind kind, const QString &proposed = {}) const
    {
        return m_askFileName(m_window, kind, proposed);
    }
    const DefaultsLocations &Defaults() const { return m_defaults; }

    // Each returns true when the command was carried out, false when the user cancelled it
    // or it failed (a failure has been reported by then).
    bool New();
    bool Open();
    // Open without the file dialog: a file chosen from the recent files.
    bool OpenFile(const QString &path);
    // Compare With File: what a configuration file holds, read into a document of its own
    // (values it lacks keep the factory values; `incomplete` counts them). A file that cannot
    // be read or is no configuration is reported as Open reports it.
    std::optional<ConfigDocument> ReadDocument(const QString &path, int *incomplete = nullptr);
    bool Save();
    bool SaveAs();
    bool SaveAsDefault();

    // Asks whether to save the changes, if there are any. True: go on (nothing changed, No,
    // or Yes and the save succeeded). False: Cancel, or the save did not happen.
    bool SaveChangesFirst();

Q_SIGNALS:
    // The main window's caption after New, Open and Save As.
    void CaptionChanged(const QString &caption);
    // New and Open: the open page shows values that no longer hold.
    void EditingPagesMustClose();
    // A configuration file was opened or saved.
    void FileUsed(const QString &path);
    // New and Open: the image is another configuration now (its history starts afresh).
    void ConfigurationReplaced();

private:
    bool Load(const QString &path);
    // The whole file, or nothing once the failure has been reported.
    std::optional<QByteArray> ReadContents(const QString &path);
    void ReportNotConfiguration(const QString &details = {});
    bool WriteTo(const QString &path);

    AppState &m_state;
    DefaultsLocations m_defaults;
    QWidget *m_window = nullptr;
    FileNameAsker m_askFileName = AskWithFileDialog;
};
