#include "shell/finddialog.h"

#include "about/helpwindow.h"
#include "core/pagetable.h"
#include "ui/helpkey.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

QString PageCaption(const FieldSpec &field)
{
    const PageInfo *page = FindPageByWindow(field.page);
    return page ? PageHeading(*page) : Text(field.page);
}

} // namespace

FindDialog::FindDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("dlgFind"));
    setWindowTitle(QStringLiteral("Find Parameter"));

    auto *prompt = new QLabel(QStringLiteral("&Find:"), this);
    prompt->setObjectName(QStringLiteral("lblFind"));
    m_text = new QLineEdit(this);
    m_text->setObjectName(QStringLiteral("txtFind"));
    m_text->setPlaceholderText(QStringLiteral("a caption, an option or a name such as "
                                              "decoder.comm.parity"));
    prompt->setBuddy(m_text);
    m_text->installEventFilter(this);

    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("lstFind"));
    m_list->setAccessibleName(QStringLiteral("Parameters found"));
    m_list->setHeaderLabels({QStringLiteral("Page"), QStringLiteral("Group"),
                             QStringLiteral("Option"), QStringLiteral("Name")});
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);

    m_count = new QLabel(this);
    m_count->setObjectName(QStringLiteral("lblFindCount"));

    auto *buttons = new QDialogButtonBox(this);
    m_open = buttons->addButton(QStringLiteral("&Open"), QDialogButtonBox::AcceptRole);
    m_open->setObjectName(QStringLiteral("cmdFindOpen"));
    m_open->setDefault(true);
    QPushButton *close = buttons->addButton(QDialogButtonBox::Close);
    close->setObjectName(QStringLiteral("cmdFindClose"));

    auto *layout = new QVBoxLayout(this);
    auto *row = new QHBoxLayout;
    row->addWidget(prompt);
    row->addWidget(m_text, 1);
    layout->addLayout(row);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_count);
    layout->addWidget(buttons);
    resize(720, 420);

    connect(m_text, &QLineEdit::textChanged, this, &FindDialog::Search);
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, &FindDialog::ChooseCurrent);
    connect(m_open, &QPushButton::clicked, this, &FindDialog::ChooseCurrent);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    AddHelpKey(this, [this] { ShowManual(this, QStringLiteral("dlgFind")); });
    Search({});
}

void FindDialog::Start()
{
    show();
    raise();
    activateWindow();
    m_text->setFocus(Qt::OtherFocusReason);
    m_text->selectAll();
}

void FindDialog::Search(const QString &text)
{
    m_matches = FindParameters(text);
    m_list->clear();
    for (const ParameterMatch &match : m_matches) {
        const FieldSpec &field = *match.field;
        const QString option =
            match.option < 0 ? QString()
                             : Text(field.options[static_cast<std::size_t>(match.option)].caption);
        m_list->addTopLevelItem(new QTreeWidgetItem(
            {PageCaption(field), Text(field.caption), option, Text(field.name)}));
    }
    if (!m_matches.empty())
        m_list->setCurrentItem(m_list->topLevelItem(0));
    m_open->setEnabled(!m_matches.empty());
    if (text.trimmed().isEmpty())
        m_count->setText(QString());
    else if (m_matches.size() == 1)
        m_count->setText(QStringLiteral("1 match"));
    else
        m_count->setText(QStringLiteral("%1 matches").arg(m_matches.size()));
}

void FindDialog::ChooseCurrent()
{
    const int row = m_list->indexOfTopLevelItem(m_list->currentItem());
    if (row < 0 || row >= static_cast<int>(m_matches.size()))
        return;
    const ParameterMatch match = m_matches[static_cast<std::size_t>(row)];
    accept();
    Q_EMIT ParameterChosen(*match.field, match.option);
}

bool FindDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_text && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp ||
            key == Qt::Key_PageDown) {
            QCoreApplication::sendEvent(m_list, event);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
