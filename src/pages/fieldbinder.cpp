#include "pages/fieldbinder.h"

#include <algorithm>

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QVBoxLayout>

FieldBinder::FieldBinder(const FieldSpec &field, QButtonGroup *group, ParameterImages &images,
                         QObject *parent)
    : QObject(parent), m_field(field), m_images(images), m_group(group)
{
    auto chosen = [this](int index) {
        if (m_showing)
            return;
        Write(index);
        Q_EMIT Shown(index);
    };
    connect(group, &QButtonGroup::idToggled, this, [chosen](int index, bool checked) {
        if (checked)
            chosen(index);
    });
    // A click on the option already shown checks nothing new, yet it is the user's choice:
    // it stores that option's code over a stored value that the option only stands in for.
    connect(group, &QButtonGroup::idClicked, this, chosen);
}

FieldBinder::FieldBinder(const FieldSpec &field, QCheckBox *box, ParameterImages &images,
                         QObject *parent)
    : QObject(parent), m_field(field), m_images(images), m_box(box)
{
    connect(box, &QCheckBox::toggled, this, [this](bool ticked) {
        if (m_showing)
            return;
        Write(ticked ? 1 : 0);
        Q_EMIT Shown(ticked ? 1 : 0);
    });
}

void FieldBinder::Load()
{
    Show(OptionIndex(m_field, m_images.ConfigImage));
}

void FieldBinder::RestoreDefault()
{
    const int index = OptionIndex(m_field, m_images.DefaultImage);
    Show(index);
    if (index >= 0) {
        Write(index);
        return;
    }
    // A default that no option stands for (a defaults file or Save As Default can hold one)
    // is still the default: it is restored as it is, shown with no option selected.
    m_images.SetBits(m_field.byte, m_field.mask,
                     m_images.GetDefaultBits(m_field.byte, m_field.mask));
}

void FieldBinder::Choose(int index)
{
    Show(index);
    Write(index);
}

void FieldBinder::Show(int index)
{
    const QScopedValueRollback showing(m_showing, true);
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

void FieldBinder::Write(int index)
{
    if (index < 0 || index >= static_cast<int>(m_field.options.size()))
        return;
    WriteOption(m_field, index, m_images);
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
