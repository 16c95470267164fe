#pragma once

#include "pages/fieldbinder.h"

class QComboBox;

// Ties a NamedCharacter field (a whole byte) to an editable combo box, which it makes
// editable. The list holds the names of the field's options; picking one stores its code. A
// typed text stores the code of its first character, even when it spells a name from the
// list. A byte that no name stands for is shown as that character.
class CharacterBoxBinder : public FieldBinder
{
    Q_OBJECT
public:
    CharacterBoxBinder(const FieldSpec &field, QComboBox *box, ParameterImages &images,
                       QObject *parent);

protected:
    void Show(const Image &image) override;
    void Store() override;

private:
    void Picked(int index);
    void StoreText(const QString &text);
    void Write(int code);

    QComboBox *m_box = nullptr;
    // Set while the combo box selects the entry a typed name spells.
    bool m_typedNameSelected = false;
};
