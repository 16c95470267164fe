#pragma once

#include "pages/fieldbinder.h"

class QLineEdit;

// Ties a Character field (one character in a whole byte) to a one-character text box. A
// character outside the character set leaves the box at once. The row says how the box takes
// the rest:
// - with an empty character (`lowestCharacter` above 0, the decoder's code IDs) a second
//   character is refused with a message and the box emptied, an empty box stores 0, and a
//   character below `lowestCharacter` is stored as 0;
// - with `emptyKeepsByte` (the reader's start and end characters) the first of several
//   characters stays silently and an emptied box leaves the byte as it was.
// Opening the page writes the shown character back, so a code ID that is a control character
// becomes the empty one.
class CharacterEditBinder : public FieldBinder
{
    Q_OBJECT
public:
    CharacterEditBinder(const FieldSpec &field, QLineEdit *box, ParameterImages &images,
                        QObject *parent);

protected:
    void Show(const Image &image) override;
    void Store() override;
    bool StoresOnLoad() const override { return true; }

private:
    void RefuseSecondCharacter();

    QLineEdit *m_box = nullptr;
};
