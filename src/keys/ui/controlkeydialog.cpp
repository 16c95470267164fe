#include "keys/ui/controlkeydialog.h"

#include "core/fieldcatalogue.h"
#include "keys/keytext.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

constexpr int kControlKeys = 32;
constexpr int kFunctionKeys = 12;
constexpr int kButtonsPerRow = 8;
constexpr const char *kModifierCaptions[] = {"None", "Ctrl", "Shift", "Alt"};
constexpr char kModifierMarks[] = {'\0', '^', '+', '%'};

QString IndexedName(const char *control, int index)
{
    return Text(control) + QLatin1Char('_') + QString::number(index);
}

} // namespace

ControlKeyDialog::ControlKeyDialog(QLineEdit *target, bool functionKeys, QWidget *parent)
    : QDialog(parent), m_target(target)
{
    setObjectName(QStringLiteral("DlgCtrl"));
    setWindowTitle(QStringLiteral("Control Key"));
    setModal(true);

    auto *controls = new QGridLayout;
    for (int i = 0; i < kControlKeys; ++i) {
        auto *button = new QPushButton(KeyName(i, false), this);
        button->setObjectName(IndexedName("btnCtrl", i));
        connect(button, &QPushButton::clicked, this,
                [this, i] { m_name->setText(KeyName(i, false)); });
        controls->addWidget(button, i / kButtonsPerRow, i % kButtonsPerRow);
    }

    auto *functions = new QGridLayout;
    for (int i = 0; i < kFunctionKeys; ++i) {
        auto *button = new QPushButton(QLatin1Char('F') + QString::number(i + 1), this);
        button->setObjectName(IndexedName("btnF", i));
        button->setEnabled(functionKeys);
        connect(button, &QPushButton::clicked, this, [this, i] { ChooseFunctionKey(i); });
        functions->addWidget(button, i / (kFunctionKeys / 2), i % (kFunctionKeys / 2));
    }

    auto *status = new QGroupBox(QStringLiteral("Status"), this);
    status->setObjectName(QStringLiteral("Frame1"));
    status->setEnabled(functionKeys);
    auto *statusLayout = new QHBoxLayout(status);
    m_modifier = new QButtonGroup(this);
    m_modifier->setObjectName(QStringLiteral("Option1"));
    for (int i = 0; i < 4; ++i) {
        auto *option = new QRadioButton(Text(kModifierCaptions[i]), status);
        option->setObjectName(IndexedName("Option1", i));
        m_modifier->addButton(option, i);
        statusLayout->addWidget(option);
    }
    m_modifier->button(0)->setChecked(true);

    m_name = new QLineEdit(this);
    m_name->setObjectName(QStringLiteral("txtCtrl"));
    m_name->setAccessibleName(QStringLiteral("Key to insert"));

    auto *insert = new QPushButton(QStringLiteral("Insert Control Key"), this);
    insert->setObjectName(QStringLiteral("Command1"));
    insert->setAutoDefault(false);
    connect(insert, &QPushButton::clicked, this, &ControlKeyDialog::InsertKey);
    auto *exit = new QPushButton(QStringLiteral("Exit"), this);
    exit->setObjectName(QStringLiteral("Command2"));
    exit->setAutoDefault(false);
    connect(exit, &QPushButton::clicked, this, &ControlKeyDialog::accept);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_name);
    buttons->addWidget(insert);
    buttons->addWidget(exit);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(controls);
    layout->addLayout(functions);
    layout->addWidget(status);
    layout->addLayout(buttons);
}

void ControlKeyDialog::done(int result)
{
    QDialog::done(result);
    // However the dialog is left, the user goes on typing in the box it filled.
    if (m_target)
        m_target->setFocus(Qt::OtherFocusReason);
}

void ControlKeyDialog::ChooseFunctionKey(int index)
{
    QString name = QLatin1Char('F') + QString::number(index + 1);
    const int modifier = m_modifier->checkedId();
    if (modifier > 0)
        name.prepend(QLatin1Char(kModifierMarks[modifier]));
    m_name->setText(name);
}

void ControlKeyDialog::InsertKey()
{
    // The name is not checked here: the page's encoding decides whether it is a key.
    if (m_name->text().isEmpty() || !m_target)
        return;
    m_target->insert(QLatin1Char('{') + m_name->text() + QLatin1Char('}'));
    m_name->clear();
}
