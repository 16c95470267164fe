#include "pages/characterboxbinder.h"

#include "core/charset.h"

#include <QComboBox>
#include <QScopedValueRollback>

CharacterBoxBinder::CharacterBoxBinder(const FieldSpec &field, QComboBox *box,
                                       ParameterImages &images, QObject *parent)
    : QObject(parent), m_field(field), m_images(images), m_box(box)
{
    connect(box, &QComboBox::activated, this, [this](int index) {
        if (!m_showing && index >= 0)
            Write(m_field.options[static_cast<std::size_t>(index)].code);
    });
    connect(box, &QComboBox::editTextChanged, this, &CharacterBoxBinder::TextEdited);
}

void CharacterBoxBinder::Load()
{
    Show(m_images.ConfigImage.at(static_cast<std::size_t>(m_field.byte)));
}

void CharacterBoxBinder::RestoreDefault()
{
    const int code = m_images.DefaultImage.at(static_cast<std::size_t>(m_field.byte));
    Show(code);
    Write(code);
}

void CharacterBoxBinder::Show(int code)
{
    const QScopedValueRollback showing(m_showing, true);
    const int index = OptionIndexForCode(m_field, code);
    m_box->setCurrentIndex(index);
    if (index < 0)
        m_box->setEditText(QString(ByteToChar(static_cast<std::uint8_t>(code))));
}

void CharacterBoxBinder::TextEdited(const QString &text)
{
    if (m_showing)
        return;
    // Picking a name from the list puts it into the box as text too.
    const int index = m_box->currentIndex();
    if (index >= 0 && text == m_box->itemText(index)) {
        Write(m_field.options[static_cast<std::size_t>(index)].code);
        return;
    }
    // An emptied box has no character to store: the byte keeps its value until one is
    // typed. A character outside the device's character set is not stored either.
    if (text.isEmpty())
        return;
    if (const auto byte = CharToByte(text.front()))
        Write(*byte);
}

void CharacterBoxBinder::Write(int code)
{
    m_images.SetBits(m_field.byte, m_field.mask, ShiftedValue(m_field, code));
}

CharacterBoxBinder *BuildCharacterBox(const FieldSpec &field, QWidget *parent,
                                      ParameterImages &images, QComboBox **box)
{
    auto *combo = new QComboBox(parent);
    combo->setObjectName(Text(field.control));
    combo->setEditable(true);
    // Typing must store the typed character, not complete it into a name from the list.
    combo->setCompleter(nullptr);
    combo->setInsertPolicy(QComboBox::NoInsert);
    for (const auto &option : field.options)
        combo->addItem(Text(option.caption));
    if (box)
        *box = combo;
    return new CharacterBoxBinder(field, combo, images, parent);
}
