#include "shell/comparedialog.h"

#include "about/helpwindow.h"
#include "link/keyboard/keyboardexchange.h"
#include "link/serial/serialexchange.h"
#include "link/transmitmessages.h"
#include "link/ui/capturebox.h"
#include "link/ui/exchangerunner.h"
#include "link/wire/keyboardtext.h"
#include "shell/filecommands.h"
#include "ui/helpkey.h"

#include <QCloseEvent>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

enum Column
{
    kPageColumn,
    kParameterColumn,
    kHereColumn,
    kThereColumn
};

QString CountWords(std::size_t count)
{
    if (count == 0)
        return QStringLiteral("No parameter differs.");
    if (count == 1)
        return QStringLiteral("1 parameter differs.");
    return QStringLiteral("%1 parameters differ.").arg(count);
}

} // namespace

CompareDialog::CompareDialog(PageContext &context, FileCommands &files, QWidget *parent,
                             const LinkTimings &timings)
    : QDialog(parent), m_state(context.state), m_keyboard(context.keyboard), m_ports(context.ports),
      m_files(files), m_timings(timings)
{
    setObjectName(QStringLiteral("frmCompare"));
    setAttribute(Qt::WA_DeleteOnClose);

    m_note = new QLabel(this);
    m_note->setObjectName(QStringLiteral("lblCompared"));
    m_note->setWordWrap(true);
    m_note->setTextInteractionFlags(Qt::TextSelectableByMouse);

    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("lstCompare"));
    m_list->setRootIsDecorated(false);
    m_list->setAllColumnsShowFocus(true);
    m_list->setAccessibleName(QStringLiteral("Differences"));
    m_list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    // Enter and a double click both activate a row.
    connect(m_list, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem *item) {
        const auto row = static_cast<std::size_t>(item->data(kPageColumn, Qt::UserRole).toInt());
        if (row < m_differences.size())
            Q_EMIT EntryChosen(m_differences[row].first);
    });

    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("ProgressBar1"));
    m_progress->setTextVisible(false);
    m_progress->hide();

    m_again = new QPushButton(QStringLiteral("Compare &Again"), this);
    m_again->setObjectName(QStringLiteral("cmdCompare"));
    connect(m_again, &QPushButton::clicked, this, &CompareDialog::CompareAgain);
    m_close = new QPushButton(QStringLiteral("Close"), this);
    m_close->setObjectName(QStringLiteral("CmdClose"));
    // Enter belongs to the list (it opens the row's page): no button is pressed by it.
    for (QPushButton *button : {m_again, m_close})
        button->setAutoDefault(false);
    connect(m_close, &QPushButton::clicked, this, &QWidget::close);
    // The device types its answer into whatever has the focus: this box, during an upload
    // through the keyboard.
    m_runner = new ExchangeRunner(this);
    m_runner->AddButton(m_again);
    m_runner->AddButton(m_close);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_runner->MakeCapture(this));
    buttons->addStretch();
    buttons->addWidget(m_again);
    buttons->addWidget(m_close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_note);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_progress);
    layout->addLayout(buttons);

    AddHelpKey(this, [this] { ShowManual(parentWidget(), objectName()); });
    resize(720, 420);
}

CompareDialog::~CompareDialog()
{
    StopExchange();
}

bool CompareDialog::IsExchangeRunning() const
{
    return m_runner->IsRunning();
}

bool CompareDialog::CompareWithFile(const QString &path)
{
    StopExchange();
    int incomplete = 0;
    const std::optional<ConfigDocument> there = m_files.ReadDocument(path, &incomplete);
    if (!there)
        return false;
    m_file = path;
    setWindowTitle(QStringLiteral("Compare With File"));
    ConfigDocument here;
    here.header = m_state.header;
    here.link = m_state.link;
    here.images.ConfigImage = m_state.images.ConfigImage;
    QString note = QStringLiteral("Compared with %1.").arg(QDir::toNativeSeparators(path));
    if (incomplete > 0)
        note += QStringLiteral(" %1 values of the file could not be read; the factory values "
                               "stand for them.")
                    .arg(incomplete);
    const ParameterDifferences differences = Differences(here, *there);
    ShowDifferences(differences, QStringLiteral("File"),
                    note + QLatin1Char(' ') + CountWords(differences.size()));
    return true;
}

void CompareDialog::CompareWithDevice()
{
    if (IsExchangeRunning())
        return;
    m_file.clear();
    setWindowTitle(QStringLiteral("Compare With Device"));
    m_deviceWords = DeviceWords();
    ShowDifferences({}, QStringLiteral("Device"),
                    QStringLiteral("Uploading from the device %1...").arg(m_deviceWords));
    // The device's section overwrites its part of a copy; the rest stays as it is here, so
    // the differences lie in that section.
    m_here = m_state.images.ConfigImage;
    m_device = m_here;
    const LinkSettings &link = m_state.link;
    LinkExchange *exchange = nullptr;
    if (link.LinkMode == LinkSettings::kByRs232) {
        exchange =
            new SerialExchange(ExchangeKind::Upload, SerialTarget::FromSettings(link, m_ports),
                               m_device, link.SaveFlag, m_timings, this);
    } else {
        exchange = new KeyboardExchange(
            ExchangeKind::Upload, m_keyboard, m_device,
            [] { return QByteArray(kCommandUploadText); }, m_timings, this);
    }
    connect(exchange, &LinkExchange::Finished, this, &CompareDialog::OnUploaded);
    connect(exchange, &LinkExchange::Progress, this, [this](int value, int maximum) {
        m_progress->setMaximum(maximum);
        m_progress->setValue(value);
        m_progress->show();
    });
    // A link dialog may be in the middle of an exchange with the device.
    if (!m_runner->Run(exchange))
        m_note->setText(DeviceBusyText());
}

void CompareDialog::closeEvent(QCloseEvent *event)
{
    // Closing in the middle of an upload stops it without a message, its port closed.
    StopExchange();
    event->accept();
}

void CompareDialog::CompareAgain()
{
    if (m_file.isEmpty())
        CompareWithDevice();
    else
        CompareWithFile(m_file);
}

void CompareDialog::ShowDifferences(const ParameterDifferences &differences, const QString &there,
                                    const QString &note)
{
    m_differences = differences;
    m_note->setText(note);
    m_list->clear();
    m_list->setHeaderLabels(
        {QStringLiteral("Page"), QStringLiteral("Parameter"), QStringLiteral("Here"), there});
    int row = 0;
    for (const auto &[here, other] : m_differences) {
        auto *item = new QTreeWidgetItem(
            m_list, {Heading(here), here.caption, ShownValue(here), ShownValue(other)});
        item->setData(kPageColumn, Qt::UserRole, row++);
        item->setToolTip(kParameterColumn, here.name);
    }
    if (m_list->topLevelItemCount() > 0)
        m_list->setCurrentItem(m_list->topLevelItem(0));
}

void CompareDialog::OnUploaded(const ExchangeResult &result)
{
    m_progress->hide();
    m_runner->Ended();
    if (result.outcome != ExchangeOutcome::Good || !result.section) {
        m_note->setText(QStringLiteral("Nothing was compared."));
        // The transmit dialog's own message; a good upload is not reported, the list is.
        const LinkMessage message = TransmitMessage(result);
        auto *box = new QMessageBox(QMessageBox::NoIcon, message.title, message.text,
                                    QMessageBox::Ok, this);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->open();
        return;
    }
    // The device sends one of its two sections; the other is said to be not compared rather
    // than taken as equal.
    const ParameterDifferences differences = ImageDifferences(m_here, m_device);
    ShowDifferences(differences, QStringLiteral("Device"),
                    QStringLiteral("Compared with the device %1. It sent its %2; the %3 was not "
                                   "compared. %4")
                        .arg(m_deviceWords, SectionInWords(*result.section),
                             SectionInWords(OtherSection(*result.section)),
                             CountWords(differences.size())));
}

void CompareDialog::StopExchange()
{
    m_runner->Stop();
    m_progress->hide();
}

QString CompareDialog::DeviceWords() const
{
    const LinkSettings &link = m_state.link;
    if (link.LinkMode == LinkSettings::kByRs232)
        return QStringLiteral("on Com %1").arg(link.CommPort);
    return QStringLiteral("on the keyboard path");
}
