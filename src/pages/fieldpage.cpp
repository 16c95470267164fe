#include "pages/fieldpage.h"

#include "pages/characterboxbinder.h"

#include "core/pagetable.h"
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>

#include <QGroupBox>
#include <QPushButton>
#include <QTabWidget>

FieldPage::FieldPage(const char *page, ParameterImages &images, QWidget *parent)
    : QWidget(parent), m_page(page), m_images(images)
{
    setObjectName(Text(page));
    setWindowTitle(PageTitle(page));
}

void FieldPage::RestoreDefaults(const char *button)
{
    for (const FieldSpec *row : FieldsRestoredBy(m_page, button)) {
        if (FieldBinder *binder = m_binders.value(Text(row->control)))
            binder->RestoreDefault();
        else if (CharacterBoxBinder *box = m_characterBinders.value(Text(row->control)))
            box->RestoreDefault();
    }
}

QTabWidget *FieldPage::AddTabStrip(const char *name)
{
    auto *tabs = new QTabWidget(this);
    tabs->setObjectName(Text(name));
    // Every tab caption stays readable: the page is as wide as its tab strip.
    tabs->setUsesScrollButtons(false);
    return tabs;
}

void FieldPage::AddTab(QTabWidget *tabs, QWidget *frame, const char *caption, const char *toolTip)
{
    const int index = tabs->addTab(frame, Text(caption));
    tabs->setTabToolTip(index, Text(toolTip));
}

QGroupBox *FieldPage::AddChoiceFrame(const char *control, const char *frameName, QWidget *parent)
{
    const FieldSpec &row = Row(control);
    const ChoiceFrame built = BuildChoiceFrame(row, frameName, parent, m_images);
    m_binders.insert(Text(row.control), built.binder);
    Register(row, built.frame);
    return built.frame;
}

ChoiceFrame FieldPage::AddChoiceButtons(const char *control, QWidget *parent, QBoxLayout *layout)
{
    const FieldSpec &row = Row(control);
    const ChoiceFrame built = BuildChoiceButtons(row, parent, layout, m_images);
    m_binders.insert(Text(row.control), built.binder);
    for (QAbstractButton *button : built.group->buttons())
        Register(row, button);
    return built;
}

QCheckBox *FieldPage::AddFlagBox(const char *control, QWidget *parent)
{
    const FieldSpec &row = Row(control);
    QCheckBox *box = nullptr;
    m_binders.insert(Text(row.control), BuildFlagBox(row, parent, m_images, &box));
    Register(row, box);
    return box;
}

QComboBox *FieldPage::AddCharacterBox(const char *control, QWidget *parent)
{
    const FieldSpec &row = Row(control);
    QComboBox *box = nullptr;
    m_characterBinders.insert(Text(row.control), BuildCharacterBox(row, parent, m_images, &box));
    Register(row, box);
    return box;
}

QPushButton *FieldPage::AddDefaultButton(const char *name, QWidget *parent)
{
    auto *button = new QPushButton(QStringLiteral("Set Default"), parent);
    button->setObjectName(Text(name));
    connect(button, &QPushButton::clicked, this, [this, name] { RestoreDefaults(name); });
    return button;
}

void FieldPage::AddDependent(const char *control, QWidget *widget)
{
    m_controls.insert(Text(control), widget);
}

FieldBinder *FieldPage::Binder(const char *control) const
{
    return m_binders.value(Text(control));
}

void FieldPage::LoadAll()
{
    ConnectDependencies();
    for (const FieldSpec *row : FieldsOfPage(m_page)) {
        if (FieldBinder *binder = m_binders.value(Text(row->control)))
            binder->Load();
        else if (CharacterBoxBinder *box = m_characterBinders.value(Text(row->control)))
            box->Load();
    }
}

const FieldSpec &FieldPage::Row(const char *control) const
{
    const FieldSpec *row = FindControl(m_page, control);
    if (!row)
        qFatal("page %s has no catalogue row for control %s", m_page, control);
    return *row;
}

void FieldPage::Register(const FieldSpec &row, QWidget *control)
{
    m_controls.insert(Text(row.control), control);
}

void FieldPage::ConnectDependencies()
{
    for (const FieldSpec *row : FieldsOfPage(m_page)) {
        if (*row->disabledBy == '\0')
            continue;
        FieldBinder *switcher = Binder(row->disabledBy);
        if (!switcher)
            continue;
        const QList<QWidget *> widgets = m_controls.values(Text(row->control));
        const int code = row->disabledByCode;
        connect(switcher, &FieldBinder::Shown, this, [widgets, switcher, code](int index) {
            const auto &options = switcher->Field().options;
            const bool off = index >= 0 && index < static_cast<int>(options.size()) &&
                             options[static_cast<std::size_t>(index)].code == code;
            for (QWidget *widget : widgets)
                widget->setEnabled(!off);
        });
    }
}
