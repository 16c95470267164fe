#include "pages/keytextframe.h"

#include "keys/keytext.h"
#include "keys/ui/controlkeydialog.h"
#include "pages/storabletext.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QVBoxLayout>

namespace {

bool StorableOnDecoder(QChar c)
{
    return IsStorableKeyCharacter(c, false);
}

bool StorableOnReader(QChar c)
{
    return IsStorableKeyCharacter(c, true);
}

} // namespace

KeyTextFrame::KeyTextFrame(std::vector<const FieldSpec *> rows, const Names &names, bool prefix,
                           const QStringList &selectorCaptions, AppState &state, QWidget *parent)
    : QGroupBox(Text(rows.front()->caption), parent), m_rows(std::move(rows)),
      m_shown(m_rows.front()), m_prefix(prefix), m_state(state)
{
    setObjectName(Text(names.frame));
    auto *layout = new QVBoxLayout(this);

    const FieldSpec &first = *m_rows.front();
    if (*first.selector) {
        layout->addWidget(new QLabel(QStringLiteral("Select Track"), this));
        auto *options = new QHBoxLayout;
        m_selector = new QButtonGroup(this);
        m_selector->setObjectName(Text(first.selector));
        for (const FieldSpec *row : m_rows) {
            auto *option = new QRadioButton(selectorCaptions.value(row->selectorIndex), this);
            option->setObjectName(Text(row->selector) + QLatin1Char('_') +
                                  QString::number(row->selectorIndex));
            m_selector->addButton(option, row->selectorIndex);
            options->addWidget(option);
        }
        layout->addLayout(options);
        // However the option is checked (a click, a key, a screen reader's "Toggle"), the box
        // shows and edits the field it stands for.
        connect(m_selector, &QButtonGroup::idToggled, this, [this](int index, bool checked) {
            if (checked && !m_loading)
                Select(index);
        });
    }

    m_box = new QLineEdit(this);
    m_box->setObjectName(Text(names.box));
    layout->addWidget(m_box);
    auto *hint = new QLabel(Text(names.hintText), this);
    hint->setObjectName(Text(names.hint));
    layout->addWidget(hint);

    auto *buttons = new QHBoxLayout;
    auto *controlKeys = new QPushButton(QStringLiteral("Control Keys"), this);
    controlKeys->setObjectName(Text(names.controlKeys));
    // A click must not take the focus from the box, or the box would lose the selection
    // the dialog is to replace.
    controlKeys->setFocusPolicy(Qt::TabFocus);
    auto *clear = new QPushButton(QStringLiteral("Clear All Insetion"), this);
    clear->setObjectName(Text(names.clear));
    buttons->addWidget(controlKeys);
    buttons->addWidget(clear);
    layout->addLayout(buttons);

    connect(m_box, &QLineEdit::textChanged, this, &KeyTextFrame::Store);
    connect(controlKeys, &QPushButton::clicked, this, &KeyTextFrame::OpenControlKeys);
    connect(clear, &QPushButton::clicked, this, &KeyTextFrame::Clear);
}

void KeyTextFrame::Load()
{
    if (m_selector) {
        const QScopedValueRollback loading(m_loading, true);
        m_selector->button(m_rows.front()->selectorIndex)->setChecked(true);
    }
    m_shown = m_rows.front();
    m_box->setText(DecodeKeyText(ShownSlots(), m_shown->functionKeys));
    Store();
}

void KeyTextFrame::Select(int index)
{
    for (const FieldSpec *row : m_rows) {
        if (row->selectorIndex == index)
            m_shown = row;
    }
    // Only a text that differs from the one shown is stored again (and so normalised); the
    // field left behind keeps what was last stored in it.
    m_box->setText(DecodeKeyText(ShownSlots(), m_shown->functionKeys));
}

void KeyTextFrame::Store()
{
    const bool functionKeys = m_shown->functionKeys;
    if (DropUnstorable(m_box, functionKeys ? StorableOnReader : StorableOnDecoder))
        return;
    EncodeKeyText(m_box->text(), ShownSlots(), functionKeys);
}

void KeyTextFrame::Clear()
{
    const auto slots = ShownSlots();
    std::fill(slots.begin(), slots.end(), kEmptySlot);
    m_box->clear();
}

void KeyTextFrame::OpenControlKeys()
{
    m_state.PrefixFlag = m_prefix;
    ControlKeyDialog dialog(m_box, m_shown->functionKeys, this);
    dialog.exec();
}

std::span<std::uint8_t> KeyTextFrame::ShownSlots() const
{
    return std::span(m_state.images.ConfigImage)
        .subspan(static_cast<std::size_t>(m_shown->byte), static_cast<std::size_t>(m_shown->slots));
}
