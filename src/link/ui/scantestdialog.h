#pragma once

#include "core/scancheck.h"

#include <QDateTime>
#include <QDialog>
#include <QList>

#include <functional>

class QLabel;
class QPushButton;
class QTreeWidget;
class ScanCaptureBox;
class ScanListener;
class ScanSplitter;
struct PageContext;

// "Test Scan": every scan the device sends while the window is open, one row each (time,
// length, the bytes in key notation, the parts the configuration says must be there, and
// why a part differs), checked against the configuration as it is when the scan arrives.
// Over RS232 it listens on the Transmit dialog's port and settings; on the keyboard path the
// device types into the window's capture box. Closing the window stops listening.
class ScanTestDialog : public QDialog
{
    Q_OBJECT
public:
    // Asks for the file Save writes; empty when cancelled.
    using FileAsker = std::function<QString(QWidget *parent)>;
    static constexpr int kMaxRows = 1000;

    ScanTestDialog(PageContext &context, QWidget *parent);
    ~ScanTestDialog() override;

    void SetFileAsker(FileAsker asker) { m_askFileName = std::move(asker); }
    // Opens the line (or takes the capture box) again, as the link settings are now.
    void Listen();
    // The rows as text, one line each, fields separated by tabs.
    QString RowsText() const;
    bool Save();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void Stop();
    void AddScan(const QByteArray &scan, const QDateTime &at);
    void Say(const QString &text);

    PageContext &m_context;
    FileAsker m_askFileName;
    QLabel *m_note = nullptr;
    QTreeWidget *m_list = nullptr;
    ScanCaptureBox *m_capture = nullptr;
    QPushButton *m_copy = nullptr;
    QPushButton *m_save = nullptr;
    ScanListener *m_listener = nullptr;
    ScanSplitter *m_splitter = nullptr;
    QStringList m_rows;
};
