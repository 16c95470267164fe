#include "link/ui/comparedialog.h"

#include "about/helpwindow.h"
#include "link/session/devicesession.h"
#include "link/session/sectioncomparison.h"
#include "link/transmitmessages.h"
#include "link/ui/capturebox.h"
#include "link/ui/exchangerunner.h"
#include "ui/helpkey.h"

#include <QCloseEvent>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
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

CompareDialog::CompareDialog(PageContext &context, ConfigFileReader readFile, QWidget *parent,
                             const LinkTimings &timings)
    : QDialog(parent), m_context(context), m_readFile(std::move(readFile)), m_timings(timings)
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

    auto *again = new QPushButton(QStringLiteral("Compare &Again"), this);
    again->setObjectName(QStringLiteral("cmdCompare"));
    connect(again, &QPushButton::clicked, this, &CompareDialog::CompareAgain);
    auto *close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("CmdClose"));
    // Enter belongs to the list (it opens the row's page): no button is pressed by it.
    for (QPushButton *button : {again, close})
        button->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    m_runner = new ExchangeRunner(this);
    m_runner->AddButton(again);
    m_runner->AddButton(close);

    auto *buttons = new QHBoxLayout;
    // The device types its answer into whatever has the focus: this box, during an upload
    // through the keyboard.
    buttons->addWidget(m_runner->MakeCapture());
    buttons->addStretch();
    buttons->addWidget(again);
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_note);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_runner->MakeProgress());
    layout->addLayout(buttons);

    AddHelpKey(this, [this] { ShowManual(parentWidget(), objectName()); });
    resize(720, 420);
}

CompareDialog::~CompareDialog()
{
    // Stopped while every control still stands.
    m_runner->Stop();
}

bool CompareDialog::IsExchangeRunning() const
{
    return m_runner->IsRunning();
}

bool CompareDialog::CompareWithFile(const QString &path)
{
    m_runner->Stop();
    int incomplete = 0;
    const std::optional<ConfigDocument> there =
        m_readFile ? m_readFile(path, &incomplete) : std::nullopt;
    if (!there)
        return false;
    m_file = path;
    setWindowTitle(QStringLiteral("Compare With File"));
    const AppState &state = m_context.state;
    ConfigDocument here;
    here.header = state.header;
    here.link = state.link;
    here.images.ConfigImage = state.images.ConfigImage;
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
    const DeviceSession session(m_context.state.link, m_context.ports, m_context.keyboard);
    m_deviceWords = session.DeviceWords();
    ShowDifferences({}, QStringLiteral("Device"),
                    QStringLiteral("Uploading from the device %1...").arg(m_deviceWords));
    // The device's section overwrites its part of a copy; the rest stays as it is here, so
    // the differences lie in that section.
    m_here = m_context.state.images.ConfigImage;
    m_device = m_here;
    LinkExchange *exchange = session.MakeExchange(ExchangeKind::Upload, m_device, m_timings, this);
    connect(exchange, &LinkExchange::Finished, this, &CompareDialog::OnUploaded);
    // A link dialog may be in the middle of an exchange with the device.
    if (!m_runner->Run(exchange))
        m_note->setText(DeviceBusyText());
}

void CompareDialog::closeEvent(QCloseEvent *event)
{
    // The window just goes, as before; a running upload has stopped already (ExchangeRunner).
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
    m_runner->Ended();
    if (result.outcome != ExchangeOutcome::Good || !result.section) {
        m_note->setText(QStringLiteral("Nothing was compared."));
        // The transmit dialog's own message; a good upload is not reported, the list is.
        ShowLinkMessage(this, TransmitMessage(result));
        return;
    }
    const SectionComparison comparison = CompareSection(m_here, m_device, *result.section);
    ShowDifferences(comparison.differences, QStringLiteral("Device"),
                    QStringLiteral("Compared with the device %1. %2")
                        .arg(m_deviceWords, comparison.Sentence()));
}
