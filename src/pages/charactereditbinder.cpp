#include "pages/charactereditbinder.h"

#include "core/charset.h"
#include "pages/storabletext.h"

#include <QLineEdit>
#include <QMessageBox>

namespace {

bool IsInCharacterSet(QChar c)
{
    return CharToByte(c).has_value();
}

} // namespace

CharacterEditBinder::CharacterEditBinder(const FieldSpec &field, QLineEdit *box,
                                         ParameterImages &images, QObject *parent)
    : FieldBinder(field, images, parent), m_box(box)
{
    connect(box, &QLineEdit::textChanged, this, [this] { TextChanged(&Field()); });
}

void CharacterEditBinder::Show(const Image &image)
{
    m_box->setText(CharacterText(Field(), image.at(static_cast<std::size_t>(Field().byte))));
}

void CharacterEditBinder::Store()
{
    if (DropUnstorable(m_box, IsInCharacterSet))
        return;
    const FieldSpec &field = Field();
    const QString text = m_box->text();
    if (text.size() >= 2) {
        // Setting the box runs this again for what it then holds.
        if (field.emptyKeepsByte)
            m_box->setText(text.left(1));
        else
            RefuseSecondCharacter();
        return;
    }
    if (text.isEmpty()) {
        if (!field.emptyKeepsByte)
            Images().SetBits(field.byte, field.mask, 0);
        return;
    }
    if (const auto byte = CharacterByte(field, text.front()))
        Images().SetBits(field.byte, field.mask, *byte);
}

void CharacterEditBinder::RefuseSecondCharacter()
{
    QMessageBox message(QMessageBox::NoIcon, QStringLiteral("Decoder Configuration Setup"),
                        QStringLiteral("Allow only one character."), QMessageBox::Ok, m_box);
    message.exec();
    m_box->clear();
}
