#include "link/ui/scantestdialog.h"

#include "about/helpwindow.h"
#include "core/charset.h"
#include "core/safefile.h"
#include "link/linkmessage.h"
#include "link/session/devicesession.h"
#include "link/session/scanlistener.h"
#include "link/session/scansplitter.h"
#include "link/ui/scancapturebox.h"
#include "ui/helpkey.h"
#include "ui/pagecontext.h"
#include "ui/savename.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

const QString kTitle = QStringLiteral("Test Scan");

enum Column
{
    kTimeColumn,
    kLengthColumn,
    kBytesColumn,
    kPartsColumn,
    kCheckColumn
};

QString AskScanFileName(QWidget *parent)
{
    return QFileDialog::getSaveFileName(parent, QStringLiteral("Save Scans"), QString(),
                                        QStringLiteral("Text files (*.txt);;All files (*)"));
}

// What the check column says: the reasons of the parts that differ first.
QString CheckText(const ScanCheck &check)
{
    const QString reasons = check.Reasons();
    if (check.Mismatches() > 0)
        return QStringLiteral("Differs: ") + reasons;
    if (!reasons.isEmpty())
        return QStringLiteral("Not all checked: ") + reasons;
    return QStringLiteral("As configured");
}

} // namespace

ScanTestDialog::ScanTestDialog(PageContext &context, QWidget *parent)
    : QDialog(parent), m_context(context), m_askFileName(AskScanFileName)
{
    setObjectName(QStringLiteral("frmTestScan"));
    setWindowTitle(kTitle);
    setAttribute(Qt::WA_DeleteOnClose);

    m_note = new QLabel(this);
    m_note->setObjectName(QStringLiteral("lblListening"));
    m_note->setWordWrap(true);
    m_note->setTextInteractionFlags(Qt::TextSelectableByMouse);

    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("lstScans"));
    m_list->setAccessibleName(QStringLiteral("Scans"));
    m_list->setRootIsDecorated(false);
    m_list->setAllColumnsShowFocus(true);
    m_list->setHeaderLabels({QStringLiteral("Time"), QStringLiteral("Length"),
                             QStringLiteral("Bytes"), QStringLiteral("Parts"),
                             QStringLiteral("Check")});
    m_list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);

    m_capture = new ScanCaptureBox(this);
    m_splitter = new ScanSplitter(this);
    connect(m_capture, &ScanCaptureBox::Typed, m_splitter,
            [this](const QByteArray &bytes) { m_splitter->Feed(bytes); });
    connect(m_splitter, &ScanSplitter::Scanned, this, &ScanTestDialog::AddScan);

    auto *listen = new QPushButton(QStringLiteral("&Listen Again"), this);
    listen->setObjectName(QStringLiteral("cmdListen"));
    connect(listen, &QPushButton::clicked, this, &ScanTestDialog::Listen);
    m_copy = new QPushButton(QStringLiteral("&Copy"), this);
    m_copy->setObjectName(QStringLiteral("cmdCopy"));
    connect(m_copy, &QPushButton::clicked, this,
            [this] { QGuiApplication::clipboard()->setText(RowsText()); });
    m_save = new QPushButton(QStringLiteral("&Save..."), this);
    m_save->setObjectName(QStringLiteral("cmdSave"));
    connect(m_save, &QPushButton::clicked, this, &ScanTestDialog::Save);
    auto *clear = new QPushButton(QStringLiteral("C&lear"), this);
    clear->setObjectName(QStringLiteral("cmdClear"));
    connect(clear, &QPushButton::clicked, this, [this] {
        m_list->clear();
        m_rows.clear();
    });
    auto *close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("CmdClose"));
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    // Enter and Escape typed by the device are scan bytes, never a button press.
    for (QPushButton *button : {listen, m_copy, m_save, clear, close})
        button->setAutoDefault(false);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_capture, 1);
    for (QPushButton *button : {listen, m_copy, m_save, clear, close})
        buttons->addWidget(button);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_note);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);

    AddHelpKey(this, [this] { ShowManual(parentWidget(), objectName()); });
    resize(820, 420);
    Listen();
}

ScanTestDialog::~ScanTestDialog()
{
    Stop();
}

void ScanTestDialog::Stop()
{
    if (m_listener) {
        delete m_listener;
        m_listener = nullptr;
    }
    m_splitter->Flush();
}

void ScanTestDialog::Listen()
{
    Stop();
    const DeviceSession session(m_context.state.link, m_context.ports, m_context.keyboard);
    m_capture->setVisible(!session.IsSerial());
    if (!session.IsSerial()) {
        Say(QStringLiteral("Scan now: the device types into the box \"Scan here\", which must "
                           "keep the keyboard focus."));
        m_capture->setFocus();
        return;
    }
    m_listener = session.MakeScanListener(this);
    connect(m_listener, &ScanListener::Scanned, this, &ScanTestDialog::AddScan);
    connect(m_listener, &ScanListener::Broken, this, [this, words = session.DeviceWords()] {
        Say(QStringLiteral("The line broke %1 (a cable pulled, the device gone): no more scans "
                           "arrive. Listen Again when it is back.")
                .arg(words));
    });
    const SerialTarget &target = m_listener->Target();
    if (!m_listener->Start()) {
        Say((target.commPort > 0 ? PortNotAvailableText(target.commPort)
                                 : target.device + QStringLiteral(": not available.")) +
            QStringLiteral(" Nothing is listened to; Listen Again when the port is free."));
        delete m_listener;
        m_listener = nullptr;
        return;
    }
    Say(QStringLiteral("Listening %1 (%2): scan now.")
            .arg(session.DeviceWords(), target.settingsText.trimmed()));
    m_list->setFocus();
}

void ScanTestDialog::Say(const QString &text)
{
    m_note->setText(text);
    m_note->setAccessibleName(text);
}

void ScanTestDialog::AddScan(const QByteArray &scan, const QDateTime &at)
{
    const bool keyboard = m_listener == nullptr;
    const ScanFraming framing = ScanFraming::FromImage(
        m_context.state.images.ConfigImage, keyboard ? ScanPath::Keyboard : ScanPath::Serial);
    const ScanCheck check = CheckScan(scan, framing);
    // A device that never stops must not fill the memory: the oldest rows go.
    if (m_list->topLevelItemCount() >= kMaxRows) {
        delete m_list->takeTopLevelItem(0);
        m_rows.removeFirst();
    }
    auto *item = new QTreeWidgetItem(m_list);
    item->setText(kTimeColumn, at.toString(QStringLiteral("HH:mm:ss.zzz")));
    item->setText(kLengthColumn, QString::number(scan.size()));
    item->setText(kBytesColumn, ScanKeyText(scan));
    item->setText(kPartsColumn, check.MarkedText());
    item->setText(kCheckColumn, CheckText(check));
    item->setToolTip(kCheckColumn, check.Reasons());
    if (check.Mismatches() > 0) {
        for (int column = 0; column < m_list->columnCount(); ++column)
            item->setForeground(column, Qt::red);
    }
    m_rows.append(ScanRowText(at, scan, check));
    m_list->scrollToItem(item);
    if (keyboard)
        m_capture->setFocus();
}

QString ScanTestDialog::RowsText() const
{
    return m_rows.isEmpty() ? QString() : m_rows.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

bool ScanTestDialog::Save()
{
    const QString path =
        ConfirmedSaveName(this, m_askFileName(this), QStringLiteral("txt"), kTitle);
    if (path.isEmpty())
        return false;
    // In the single-byte set the device's bytes are kept as they came; the key notation has
    // named every control character.
    if (const auto reason = WriteWholeFile(path, TextToBytes(RowsText()))) {
        QMessageBox box(QMessageBox::Warning, kTitle,
                        QStringLiteral("The scans could not be saved to %1: %2")
                            .arg(QDir::toNativeSeparators(path), *reason),
                        QMessageBox::Ok, this);
        box.exec();
        return false;
    }
    return true;
}

void ScanTestDialog::closeEvent(QCloseEvent *event)
{
    Stop();
    QDialog::closeEvent(event);
}
