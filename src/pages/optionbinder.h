#pragma once

#include "pages/fieldbinder.h"

class QAbstractButton;
class QBoxLayout;
class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QWidget;

// Ties a Choice field to an option group, or a Flag field to a check box. A click, a key or a
// screen reader's "Toggle" (which checks a button without clicking it) writes the option.
// RestoreDefault writes the default's option; a default that no option stands for (a defaults
// file or Save As Default can hold one) is still the default and is restored as it is, shown
// with no option selected.
class OptionBinder : public FieldBinder
{
    Q_OBJECT
public:
    // An option group: a QButtonGroup whose ids are the option indexes.
    OptionBinder(const FieldSpec &field, QButtonGroup *group, ParameterImages &images,
                 QObject *parent);
    // A single check box.
    OptionBinder(const FieldSpec &field, QCheckBox *box, ParameterImages &images, QObject *parent);

    // Selects option `index` as a user's click would (and writes it).
    void Choose(int index);

Q_SIGNALS:
    // The control now shows option `index` (-1: none), whether loaded, restored or clicked.
    void Shown(int index);

protected:
    void Show(const Image &image) override;
    void Store() override;
    void StoreDefault() override;

private:
    void Chosen(int index);
    void ShowIndex(int index);
    void Write(int index);

    QButtonGroup *m_group = nullptr;
    QCheckBox *m_box = nullptr;
};

// Builds the frame of an option group from its catalogue row: a QGroupBox named `frameName`
// with the field's caption, one radio button per option named "<control>_<index>", and a
// QButtonGroup named after the control. The binder is created and returned too.
struct ChoiceFrame
{
    QGroupBox *frame = nullptr;
    QButtonGroup *group = nullptr;
    OptionBinder *binder = nullptr;
};
ChoiceFrame BuildChoiceFrame(const FieldSpec &field, const char *frameName, QWidget *parent,
                             ParameterImages &images);
// The same option group without a frame: the radio buttons are created as children of
// `parent` and added to `layout` (an option group that only has a label beside it).
ChoiceFrame BuildChoiceButtons(const FieldSpec &field, QWidget *parent, QBoxLayout *layout,
                               ParameterImages &images);
