#include "pages/miscpage.h"

#include "core/keyboardlayout.h"

#include <QBoxLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>

MiscPage::MiscPage(int type, PageContext &context, QWidget *parent)
    : FieldPage(type, context.state.images, parent)
{
    // Unlike the strips of AddTabStrip this one keeps the style's scroll buttons, as these
    // pages always have; its three captions fit the main window.
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("TabCFG3"));
    AddTab(m_tabs, BuildLanguage(context.keyboardLayout), "&Language", "Language Selection");
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
}

void MiscPage::AddKeyTextFrames(QBoxLayout *layout, QWidget *parent, const char *prefixHint,
                                const char *suffixHint, const QStringList &tracks)
{
    QGroupBox *prefix = AddKeyTextFrame(
        "txt694", {"fra69", "lbl694", prefixHint, "Command3", "cmd68_69"}, tracks, parent);
    QGroupBox *suffix = AddKeyTextFrame(
        "txt693", {"Frame1", "Label1", suffixHint, "Command2", "Command4"}, tracks, parent);
    layout->addWidget(prefix);
    layout->addWidget(suffix);
}

QWidget *MiscPage::BuildLanguage(const KeyboardLayoutSource *keyboardLayout)
{
    QGroupBox *frame = AddChoiceFrame("opt61", "fraCfg6_0", this);
    frame->layout()->addWidget(AddDefaultButton("cmdDefault61", frame));
    // The language that types right is the PC's layout; where it cannot be learnt, nothing is
    // shown.
    if (const auto pc = keyboardLayout ? keyboardLayout->Current() : std::nullopt) {
        auto *note = new QLabel(LayoutNote(*pc), frame);
        note->setObjectName(QStringLiteral("lblPcLayout"));
        frame->layout()->addWidget(note);
    }
    return frame;
}
