#include "pages/optionbinder.h"

#include <algorithm>

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QRadioButton>

OptionBinder::OptionBinder(const FieldSpec &field, QButtonGroup *group, ParameterImages &images,
                           QObject *parent)
    : FieldBinder(field, images, parent), m_group(group)
{
    connect(group, &QButtonGroup::idToggled, this, [this](int index, bool checked) {
        if (checked)
            Chosen(index);
    });
    // A click on the option already shown checks nothing new, yet it is the user's choice:
    // it stores that option's code over a stored value that the option only stands in for.
    connect(group, &QButtonGroup::idClicked, this, &OptionBinder::Chosen);
}

OptionBinder::OptionBinder(const FieldSpec &field, QCheckBox *box, ParameterImages &images,
                           QObject *parent)
    : FieldBinder(field, images, parent), m_box(box)
{
    connect(box, &QCheckBox::toggled, this, [this](bool ticked) { Chosen(ticked ? 1 : 0); });
}

// A default that no option stands for is copied as it is.
void OptionBinder::StoreDefault()
{
    Store();
    const FieldSpec &field = Field();
    if (OptionIndex(field, Images().DefaultImage) < 0)
        Images().SetBits(field.byte, field.mask, Images().GetDefaultBits(field.byte, field.mask));
}

void OptionBinder::Choose(int index)
{
    {
        const auto guard = Guard();
        ShowIndex(index);
    }
    Write(index);
    ReportEdit();
}

void OptionBinder::Show(const Image &image)
{
    ShowIndex(OptionIndex(Field(), image));
}

void OptionBinder::Store()
{
    Write(m_box ? int(m_box->isChecked()) : m_group->checkedId());
}

void OptionBinder::Chosen(int index)
{
    if (Showing())
        return;
    Write(index);
    Q_EMIT Shown(index);
    ReportEdit();
}

void OptionBinder::ShowIndex(int index)
{
    if (m_box) {
        m_box->setChecked(index == 1);
    } else if (QAbstractButton *button = m_group->button(index)) {
        button->setChecked(true);
    } else {
        // A stored value without an option: no option is shown selected.
        const bool exclusive = m_group->exclusive();
        m_group->setExclusive(false);
        for (QAbstractButton *other : m_group->buttons())
            other->setChecked(false);
        m_group->setExclusive(exclusive);
    }
    Q_EMIT Shown(index);
}

void OptionBinder::Write(int index)
{
    if (index < 0 || index >= static_cast<int>(Field().options.size()))
        return;
    WriteOption(Field(), index, Images());
}

ChoiceFrame BuildChoiceFrame(const FieldSpec &field, const char *frameName, QWidget *parent,
                             ParameterImages &images)
{
    auto *frame = new QGroupBox(Text(field.caption), parent);
    frame->setObjectName(Text(frameName));
    auto *layout = new QGridLayout(frame);
    // The group and its binder belong to the page, the buttons to the frame. Long lists
    // (the sixteen languages) run in columns of eight so the page fits the main window.
    ChoiceFrame built = BuildChoiceButtons(field, parent, nullptr, images);
    constexpr int kRowsPerColumn = 8;
    int position = 0;
    for (QAbstractButton *radio : built.group->buttons()) {
        radio->setParent(frame);
        layout->addWidget(radio, position % kRowsPerColumn, position / kRowsPerColumn);
        ++position;
    }
    layout->setRowStretch(std::min(position, kRowsPerColumn), 1);
    built.frame = frame;
    return built;
}

ChoiceFrame BuildChoiceButtons(const FieldSpec &field, QWidget *parent, QBoxLayout *layout,
                               ParameterImages &images)
{
    ChoiceFrame built;
    built.group = new QButtonGroup(parent);
    built.group->setObjectName(Text(field.control));
    for (std::size_t i = 0; i < field.options.size(); ++i) {
        const int arrayIndex =
            field.buttonsNamedByCode ? field.options[i].code : static_cast<int>(i);
        auto *radio = new QRadioButton(Text(field.options[i].caption), parent);
        radio->setObjectName(Text(field.control) + QLatin1Char('_') + QString::number(arrayIndex));
        built.group->addButton(radio, static_cast<int>(i));
        if (layout)
            layout->addWidget(radio);
    }
    built.binder = new OptionBinder(field, built.group, images, parent);
    return built;
}
