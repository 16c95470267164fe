#pragma once

#include "link/memoryexchange.h"
#include "link/memorytimings.h"
#include "link/ui/linkdialog.h"

#include <functional>

class QLabel;
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
// serial port or the keyboard path chosen in the shared link settings. Closing asks about
// text that differs from what was last saved.
class ReadMemoryDialog : public LinkDialog
{
    Q_OBJECT
public:
    ReadMemoryDialog(PageContext &context, QWidget *parent, const MemoryTimings &timings = {});

    void SetFileNameAsker(MemoryFileAsker asker) { m_askFileName = std::move(asker); }
    const QString &MemFileName() const { return m_memFileName; }

protected:
    bool ConfirmClose() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool Save();
    bool SaveAs();

    void AskThenStart(MemoryKind kind);
    void StartExchange(MemoryKind kind);
    MemoryExchange *CurrentExchange() const;
    void OnReadStarted();
    void OnFinished(const MemoryResult &result);
    void AppendRecords(const QString &text);
    void ShowTextArea(bool shown);
    // What a memory data file of the text area holds, without its final CR LF.
    QString FileText() const;
    bool WriteMemoryData(const QString &path);

    MemoryTimings m_timings;
    MemoryFileAsker m_askFileName = AskMemoryFileName;
    QPlainTextEdit *m_text = nullptr;
    QLabel *m_count = nullptr;
    QString m_memFileName;
    // The records of the latest read exactly as decoded. A text area turns a record's CR or LF
    // bytes into line breaks and shows a no-break space that toPlainText() would hand back as
    // a blank, so while the user has not edited the area, a file is written from this text.
    QString m_readText;
    bool m_showsReadText = false;
    bool m_updatingText = false; // the dialog itself is changing the text area
    // Records of the latest read that failed their check: a clear asks with a warning while
    // the decoder's memory holds their only copy.
    int m_failedRecords = 0;
};
