#include "pages/characterboxbinder.h"

#include "core/charset.h"

#include <QComboBox>
#include <QLineEdit>

CharacterBoxBinder::CharacterBoxBinder(const FieldSpec &field, QComboBox *box,
                                       ParameterImages &images, QObject *parent)
    : FieldBinder(field, images, parent), m_box(box)
{
    // When Enter is pressed in the box or the box is left, the combo box makes the entry
    // whose name was typed the current one, as if it had been picked. That name was typed all
    // the same and keeps the code of its first character: the two handlers around the combo
    // box's own (slots run in the order they were connected) tell that selection apart.
    auto *edit = new QLineEdit(box);
    connect(edit, &QLineEdit::editingFinished, this, [this] { m_typedNameSelected = true; });
    box->setLineEdit(edit);
    connect(edit, &QLineEdit::editingFinished, this, [this] { m_typedNameSelected = false; });
    // Typing must store the typed character, not complete it into a name from the list.
    box->setCompleter(nullptr);
    box->setInsertPolicy(QComboBox::NoInsert);

    // A pick by mouse, arrow key or wheel is activated; a selection made otherwise (as
    // assistive technology may make it) only changes the current entry. Picking the entry
    // already current after typing over its name changes no entry and is activated only.
    connect(box, &QComboBox::activated, this, &CharacterBoxBinder::Picked);
    connect(box, &QComboBox::currentIndexChanged, this, &CharacterBoxBinder::Picked);
    connect(box, &QComboBox::editTextChanged, this, [this](const QString &text) {
        if (Showing())
            return;
        StoreText(text);
        ReportEdit(&Field());
    });
}

void CharacterBoxBinder::Show(const Image &image)
{
    const int code = image.at(static_cast<std::size_t>(Field().byte));
    const int index = OptionIndexForCode(Field(), code);
    m_box->setCurrentIndex(index);
    if (index < 0)
        m_box->setEditText(QString(ByteToChar(static_cast<std::uint8_t>(code))));
}

void CharacterBoxBinder::Store()
{
    const int index = m_box->currentIndex();
    if (index >= 0 && m_box->currentText() == m_box->itemText(index))
        Write(Field().options[static_cast<std::size_t>(index)].code);
    else
        StoreText(m_box->currentText());
}

void CharacterBoxBinder::Picked(int index)
{
    if (Showing() || m_typedNameSelected || index < 0)
        return;
    Write(Field().options[static_cast<std::size_t>(index)].code);
    ReportEdit();
}

void CharacterBoxBinder::StoreText(const QString &text)
{
    // Typed text stores the code of its first character, also when it spells a name from
    // the list. (A picked name is put into the box as text too; the pick, reported right
    // after, then stores the entry's code.)
    // An emptied box has no character to store: the byte keeps its value until one is
    // typed. A character outside the device's character set is not stored either.
    if (text.isEmpty())
        return;
    if (const auto byte = CharToByte(text.front()))
        Write(*byte);
}

void CharacterBoxBinder::Write(int code)
{
    Images().SetBits(Field().byte, Field().mask, ShiftedValue(Field(), code));
}
