#pragma once

#include "core/fieldcatalogue.h"

#include <QObject>

class QComboBox;

// Ties a NamedCharacter field (a whole byte) to an editable combo box, which it makes
// editable. The list holds the names of the field's options; picking one stores its code. A
// typed text stores the code of its first character, even when it spells a name from the
// list. A byte that no name stands for is shown as that character. Showing a value from code
// writes nothing.
class CharacterBoxBinder : public QObject
{
    Q_OBJECT
public:
    CharacterBoxBinder(const FieldSpec &field, QComboBox *box, ParameterImages &images,
                       QObject *parent);

    const FieldSpec &Field() const { return m_field; }

    // Shows the byte as ConfigImage holds it.
    void Load();
    // Shows the byte from DefaultImage and writes it into ConfigImage.
    void RestoreDefault();

private:
    void Show(int code);
    void Picked(int index);
    void TextEdited(const QString &text);
    void Write(int code);

    const FieldSpec &m_field;
    ParameterImages &m_images;
    QComboBox *m_box = nullptr;
    bool m_showing = false;
    // Set while the combo box selects the entry a typed name spells.
    bool m_typedNameSelected = false;
};

// Builds the editable combo box of a NamedCharacter field, named after its control.
CharacterBoxBinder *BuildCharacterBox(const FieldSpec &field, QWidget *parent,
                                      ParameterImages &images, QComboBox **box = nullptr);
