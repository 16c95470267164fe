#include "pages/keytextbinder.h"

#include "keys/keytext.h"
#include "keys/ui/controlkeydialog.h"
#include "pages/storabletext.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

bool StorableOnDecoder(QChar c)
{
    return IsStorableKeyCharacter(c, false);
}

bool StorableOnReader(QChar c)
{
    return IsStorableKeyCharacter(c, true);
}

// The key slots of a field in an image.
template <typename Bytes> auto SlotsOf(Bytes &image, const FieldSpec &field)
{
    return std::span(image).subspan(static_cast<std::size_t>(field.byte),
                                    static_cast<std::size_t>(field.slots));
}

} // namespace

KeyTextBinder::KeyTextBinder(std::vector<const FieldSpec *> rows, QLineEdit *box,
                             QButtonGroup *selector, ParameterImages &images, QObject *parent)
    : FieldBinder(*rows.front(), images, parent), m_rows(std::move(rows)), m_shown(m_rows.front()),
      m_box(box), m_selector(selector)
{
    connect(box, &QLineEdit::textChanged, this, [this] { TextChanged(m_shown); });
    if (!selector)
        return;
    // However the option is checked (a click, a key, a screen reader's "Toggle"), the box
    // shows and edits the field it stands for.
    connect(selector, &QButtonGroup::idToggled, this, [this](int index, bool checked) {
        if (checked && !Showing())
            Select(index);
    });
}

void KeyTextBinder::Clear()
{
    const auto slots = SlotsOf(Images().ConfigImage, *m_shown);
    std::fill(slots.begin(), slots.end(), kEmptySlot);
    {
        const auto guard = Guard();
        m_box->clear();
    }
    ReportEdit();
}

void KeyTextBinder::OpenControlKeys()
{
    ControlKeyDialog dialog(m_box, m_shown->functionKeys, m_box->parentWidget());
    dialog.exec();
}

void KeyTextBinder::Refresh()
{
    // The box goes on showing the track it shows.
    const auto guard = Guard();
    m_box->setText(DecodeKeyText(SlotsOf(Images().ConfigImage, *m_shown), m_shown->functionKeys));
}

std::vector<const FieldSpec *> KeyTextBinder::Rows() const
{
    return m_rows;
}

void KeyTextBinder::Show(const Image &image)
{
    m_shown = m_rows.front();
    if (m_selector)
        m_selector->button(m_shown->selectorIndex)->setChecked(true);
    m_box->setText(DecodeKeyText(SlotsOf(image, *m_shown), m_shown->functionKeys));
}

void KeyTextBinder::Store()
{
    const bool functionKeys = m_shown->functionKeys;
    if (DropUnstorable(m_box, functionKeys ? StorableOnReader : StorableOnDecoder))
        return;
    EncodeKeyText(m_box->text(), SlotsOf(Images().ConfigImage, *m_shown), functionKeys);
}

void KeyTextBinder::Select(int index)
{
    for (const FieldSpec *row : m_rows) {
        if (row->selectorIndex == index)
            m_shown = row;
    }
    // Only a text that differs from the one shown is stored again (and so normalised); the
    // field left behind keeps what was last stored in it.
    m_box->setText(DecodeKeyText(SlotsOf(Images().ConfigImage, *m_shown), m_shown->functionKeys));
}

KeyTextFrame BuildKeyTextFrame(std::vector<const FieldSpec *> rows, const KeyTextNames &names,
                               const QStringList &selectorCaptions, ParameterImages &images,
                               QWidget *parent)
{
    const FieldSpec &first = *rows.front();
    auto *frame = new QGroupBox(Text(first.caption), parent);
    frame->setObjectName(Text(names.frame));
    auto *layout = new QVBoxLayout(frame);

    QButtonGroup *selector = nullptr;
    if (*first.selector) {
        layout->addWidget(new QLabel(QStringLiteral("Select Track"), frame));
        auto *options = new QHBoxLayout;
        selector = new QButtonGroup(frame);
        selector->setObjectName(Text(first.selector));
        for (const FieldSpec *row : rows) {
            auto *option = new QRadioButton(selectorCaptions.value(row->selectorIndex), frame);
            option->setObjectName(Text(row->selector) + QLatin1Char('_') +
                                  QString::number(row->selectorIndex));
            selector->addButton(option, row->selectorIndex);
            options->addWidget(option);
        }
        layout->addLayout(options);
    }

    auto *box = new QLineEdit(frame);
    box->setObjectName(Text(first.control));
    box->setAccessibleName(Text(first.caption));
    layout->addWidget(box);
    auto *hint = new QLabel(Text(names.hintText), frame);
    hint->setObjectName(Text(names.hint));
    layout->addWidget(hint);

    auto *buttons = new QHBoxLayout;
    auto *controlKeys = new QPushButton(QStringLiteral("Control Keys"), frame);
    controlKeys->setObjectName(Text(names.controlKeys));
    // A click must not take the focus from the box, or the box would lose the selection
    // the dialog is to replace.
    controlKeys->setFocusPolicy(Qt::TabFocus);
    auto *clear = new QPushButton(QStringLiteral("Clear All Insetion"), frame);
    clear->setObjectName(Text(names.clear));
    buttons->addWidget(controlKeys);
    buttons->addWidget(clear);
    layout->addLayout(buttons);

    auto *binder = new KeyTextBinder(std::move(rows), box, selector, images, frame);
    QObject::connect(controlKeys, &QPushButton::clicked, binder, &KeyTextBinder::OpenControlKeys);
    QObject::connect(clear, &QPushButton::clicked, binder, &KeyTextBinder::Clear);
    return {frame, binder};
}
