#pragma once

#include "core/fieldcatalogue.h"

#include <QObject>

class QAbstractButton;
class QBoxLayout;
class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QWidget;

// Ties one Choice or Flag field of the catalogue to its controls. A user's change writes the
// field into ConfigImage at once, however it was made: a click, a key, or a screen reader's
// "Toggle", which checks a button without clicking it. Showing a value from code (Load,
// RestoreDefault) selects the control without writing; only RestoreDefault then writes, so
// opening a page never changes the image.
class FieldBinder : public QObject
{
    Q_OBJECT
public:
    // An option group: a QButtonGroup whose ids are the option indexes.
    FieldBinder(const FieldSpec &field, QButtonGroup *group, ParameterImages &images,
                QObject *parent);
    // A single check box.
    FieldBinder(const FieldSpec &field, QCheckBox *box, ParameterImages &images, QObject *parent);

    const FieldSpec &Field() const { return m_field; }

    // Shows the field as ConfigImage holds it.
    void Load();
    // Shows the field from DefaultImage and writes it into ConfigImage.
    void RestoreDefault();
    // Selects option `index` as a user's click would (and writes it).
    void Choose(int index);

Q_SIGNALS:
    // The control now shows option `index` (-1: none), whether loaded, restored or clicked.
    void Shown(int index);

private:
    void Show(int index);
    void Write(int index);

    const FieldSpec &m_field;
    ParameterImages &m_images;
    QButtonGroup *m_group = nullptr;
    QCheckBox *m_box = nullptr;
    bool m_showing = false;
};

// Builds the frame of an option group from its catalogue row: a QGroupBox named `frameName`
// with the field's caption, one radio button per option named "<control>_<index>", and a
// QButtonGroup named after the control. The binder is created and returned too.
struct ChoiceFrame
{
    QGroupBox *frame = nullptr;
    QButtonGroup *group = nullptr;
    FieldBinder *binder = nullptr;
};
ChoiceFrame BuildChoiceFrame(const FieldSpec &field, const char *frameName, QWidget *parent,
                             ParameterImages &images);
// The same option group without a frame: the radio buttons are created as children of
// `parent` and added to `layout` (an option group that only has a label beside it).
ChoiceFrame BuildChoiceButtons(const FieldSpec &field, QWidget *parent, QBoxLayout *layout,
                               ParameterImages &images);
// Builds the check box of a Flag field, named after its control, with the field's caption.
FieldBinder *BuildFlagBox(const FieldSpec &field, QWidget *parent, ParameterImages &images,
                          QCheckBox **box = nullptr);
