#include "pages/fieldbinder.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>

FieldBinder::FieldBinder(const FieldSpec &field, QButtonGroup *group, ParameterImages &images,
                         QObject *parent)
    : QObject(parent), m_field(field), m_images(images), m_group(group)
{
    connect(group, &QButtonGroup::idClicked, this, &FieldBinder::Write);
}

FieldBinder::FieldBinder(const FieldSpec &field, QCheckBox *box, ParameterImages &images,
                         QObject *parent)
    : QObject(parent), m_field(field), m_images(images), m_box(box)
{
    connect(box, &QCheckBox::clicked, this, [this](bool ticked) { Write(ticked ? 1 : 0); });
}

void FieldBinder::Load()
{
    Show(OptionIndex(m_field, m_images.ConfigImage));
}

void FieldBinder::RestoreDefault()
{
    const int index = OptionIndex(m_field, m_images.DefaultImage);
    Show(index);
    if (index >= 0)
        Write(index);
}

void FieldBinder::Choose(int index)
{
    Show(index);
    Write(index);
}

void FieldBinder::Show(int index)
{
    if (m_box) {
        m_box->setChecked(index == 1);
        return;
    }
    if (QAbstractButton *button = m_group->button(index)) {
        button->setChecked(true);
        return;
    }
    // A stored value without an option: no option is shown selected.
    const bool exclusive = m_group->exclusive();
    m_group->setExclusive(false);
    for (QAbstractButton *button : m_group->buttons())
        button->setChecked(false);
    m_group->setExclusive(exclusive);
}

void FieldBinder::Write(int index)
{
    if (index < 0 || index >= static_cast<int>(m_field.options.size()))
        return;
    WriteOption(m_field, index, m_images);
}

ChoiceFrame BuildChoiceFrame(const FieldSpec &field, const char *frameName, QWidget *parent,
                             ParameterImages &images)
{
    ChoiceFrame built;
    built.frame = new QGroupBox(Text(field.caption), parent);
    built.frame->setObjectName(Text(frameName));
    auto *layout = new QVBoxLayout(built.frame);
    built.group = new QButtonGroup(parent);
    built.group->setObjectName(Text(field.control));
    for (std::size_t i = 0; i < field.options.size(); ++i) {
        auto *radio = new QRadioButton(Text(field.options[i].caption), built.frame);
        radio->setObjectName(Text(field.control) + QLatin1Char('_') + QString::number(i));
        built.group->addButton(radio, static_cast<int>(i));
        layout->addWidget(radio);
    }
    layout->addStretch();
    built.binder = new FieldBinder(field, built.group, images, parent);
    return built;
}

FieldBinder *BuildFlagBox(const FieldSpec &field, QWidget *parent, ParameterImages &images,
                          QCheckBox **box)
{
    auto *check = new QCheckBox(Text(field.caption), parent);
    check->setObjectName(Text(field.control));
    if (box)
        *box = check;
    return new FieldBinder(field, check, images, parent);
}
