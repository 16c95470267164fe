#pragma once

#include "link/memoryexchange.h"
#include "link/memorytimings.h"
#include "link/ui/linksettingspanel.h"
#include "pages/pagecontext.h"

#include <QPointer>
#include <QWidget>

#include <functional>

class QLabel;
class QLineEdit;
class QMessageBox;
class QPlainTextEdit;
class QPushButton;

// Asks for the name of a memory data file to write; an empty name means the dialog was
// cancelled. `proposed` presets the name field.
using MemoryFileAsker = std::function<QString(QWidget *parent, const QString &proposed)>;

// The file dialog `CmDlg1`: QFileDialog with the filter "Memory Data File(*.txt)"; it asks
// before replacing a file and adds ".txt" to a name typed without one.
QString AskMemoryFileName(QWidget *parent, const QString &proposed);

// "Read Decoder Memory": reads the data the decoder keeps in its memory into an editable text
// area, saves that text as a memory data file, and clears the decoder's memory, over the
// serial port or the keyboard path chosen in the shared link settings. The exchanges run on
// their own; the dialog starts one, keeps its six buttons disabled meanwhile, and shows the
// outcome. Closing asks about text that differs from what was last saved.
class ReadMemoryDialog : public QWidget
{
    Q_OBJECT
public:
    ReadMemoryDialog(PageContext &context, QWidget *parent, const MemoryTimings &timings = {});
    ~ReadMemoryDialog() override;

    void SetFileNameAsker(MemoryFileAsker asker) { m_askFileName = std::move(asker); }
    bool IsExchangeRunning() const;
    const QString &MemFileName() const { return m_memFileName; }

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void ReadMemory();
    void ClearMemory();
    void ShowOptions();
    bool Save();
    bool SaveAs();
    void CloseDialog();

    void AskThenStart(MemoryKind kind);
    void StartExchange(MemoryKind kind);
    void OnReadStarted();
    void OnFinished(const MemoryResult &result);
    void AppendRecords(const QString &text);
    void SetButtonsEnabled(bool enabled);
    void ShowTextArea(bool shown);
    void StopExchange();
    // What a memory data file of the text area holds, without its final CR LF.
    QString FileText() const;
    bool WriteMemoryData(const QString &path);
    bool ConfirmClose();
    QMessageBox *ShowMessage(const QString &text, const QString &title, bool withCancel);

    AppState &m_state;
    KeyboardPort *m_keyboard;
    MemoryTimings m_timings;
    MemoryFileAsker m_askFileName = AskMemoryFileName;
    LinkSettingsPanel *m_panel = nullptr;
    QPlainTextEdit *m_text = nullptr;
    QPushButton *m_read = nullptr;
    QPushButton *m_clear = nullptr;
    QPushButton *m_display = nullptr;
    QPushButton *m_save = nullptr;
    QPushButton *m_saveAs = nullptr;
    QPushButton *m_close = nullptr;
    QLabel *m_count = nullptr;
    QLineEdit *m_capture = nullptr;
    QPointer<MemoryExchange> m_exchange;
    QString m_memFileName;
    // The records of the latest read exactly as decoded. A text area turns a record's CR or LF
    // bytes into line breaks and shows a no-break space that toPlainText() would hand back as
    // a blank, so while the user has not edited the area, a file is written from this text.
    QString m_readText;
    bool m_showsReadText = false;
    bool m_updatingText = false; // the dialog itself is changing the text area
};
