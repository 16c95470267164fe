#include "pages/reader/readermiscpage.h"

#include "core/charset.h"
#include "core/fieldcatalogue.h"
#include "core/pagetable.h"
#include "pages/fieldbinder.h"
#include "pages/keytextframe.h"
#include "pages/storabletext.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

constexpr const char *kPage = "magcfg6";

QString IndexedName(const char *control, int index)
{
    return Text(control) + QLatin1Char('_') + QString::number(index);
}

bool IsInCharacterSet(QChar c)
{
    return CharToByte(c).has_value();
}

// The per-track fields one box shows, in the order of its track selector.
std::vector<const FieldSpec *> TrackRows(const char *control)
{
    std::vector<const FieldSpec *> rows;
    for (const FieldSpec *field : FieldsOfPage(kPage)) {
        if (field->kind == FieldKind::KeyText && std::string_view(field->control) == control)
            rows.push_back(field);
    }
    std::sort(rows.begin(), rows.end(), [](const FieldSpec *a, const FieldSpec *b) {
        return a->selectorIndex < b->selectorIndex;
    });
    return rows;
}

} // namespace

ReaderMiscPage::ReaderMiscPage(PageContext &context, QWidget *parent)
    : QWidget(parent), m_state(context.state)
{
    setObjectName(QStringLiteral("magcfg6"));
    setWindowTitle(PageTitle("magcfg6"));

    auto *tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("TabCFG3"));
    tabs->addTab(BuildLanguage(), QStringLiteral("&Language"));
    tabs->setTabToolTip(0, QStringLiteral("Language Selection"));
    tabs->addTab(BuildTracksEdit(), QStringLiteral("Tracks &Edit"));
    tabs->setTabToolTip(1, QStringLiteral("Deleting and Inserting Edit For Output Characters"));
    tabs->addTab(BuildSentinels(), QStringLiteral("Start and End &Char"));
    tabs->setTabToolTip(2, QStringLiteral("Defined User's Start and End Characters"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(tabs);

    Load();
}

QWidget *ReaderMiscPage::BuildLanguage()
{
    const ChoiceFrame built =
        BuildChoiceFrame(*FindControl(kPage, "opt61"), "fraCfg6_0", this, m_state.images);
    m_language = built.binder;
    auto *restore = new QPushButton(QStringLiteral("Set Default"), built.frame);
    restore->setObjectName(QStringLiteral("cmdDefault61"));
    built.frame->layout()->addWidget(restore);
    connect(restore, &QPushButton::clicked, m_language, &FieldBinder::RestoreDefault);
    return built.frame;
}

QWidget *ReaderMiscPage::BuildTracksEdit()
{
    auto *frame = new QGroupBox(QStringLiteral("Tracks Edit"), this);
    frame->setObjectName(QStringLiteral("fraCfg6_1"));
    auto *layout = new QHBoxLayout(frame);
    const QStringList tracks = {QStringLiteral("Track 1"), QStringLiteral("Track 2"),
                                QStringLiteral("Track 3")};
    m_prefix = new KeyTextFrame(TrackRows("txt694"),
                                {"fra69", "txt694", "lbl694",
                                 "Characters to be Inserted (Only Eight Characters Available)",
                                 "Command3", "cmd68_69"},
                                true, tracks, m_state, frame);
    m_suffix = new KeyTextFrame(TrackRows("txt693"),
                                {"Frame1", "txt693", "Label1",
                                 "Characters to be Inserted (Only Eight Charaters Available)",
                                 "Command2", "Command4"},
                                false, tracks, m_state, frame);
    layout->addWidget(m_prefix);
    layout->addWidget(m_suffix);
    return frame;
}

QWidget *ReaderMiscPage::BuildSentinels()
{
    auto *frame = new QGroupBox(QStringLiteral("Edit Start and End Characters"), this);
    frame->setObjectName(QStringLiteral("fraCfg6_2"));
    auto *layout = new QFormLayout(frame);
    for (int i = 0; i < 6; ++i) {
        const FieldSpec &field =
            *FindControl(kPage, IndexedName("txtChar", i).toLatin1().constData());
        m_sentinelFields[i] = &field;
        m_sentinels[i] = new QLineEdit(frame);
        m_sentinels[i]->setObjectName(Text(field.control));
        layout->addRow(Text(field.caption), m_sentinels[i]);
        connect(m_sentinels[i], &QLineEdit::textChanged, this, [this, i] { StoreSentinel(i); });
    }
    auto *restore = new QPushButton(QStringLiteral("Set All Default"), frame);
    restore->setObjectName(QStringLiteral("CmdDefault"));
    layout->addRow(restore);
    connect(restore, &QPushButton::clicked, this, &ReaderMiscPage::RestoreSentinels);
    return frame;
}

void ReaderMiscPage::Load()
{
    m_language->Load();
    m_prefix->Load();
    m_suffix->Load();
    for (int i = 0; i < 6; ++i) {
        const FieldSpec &field = *m_sentinelFields[i];
        m_sentinels[i]->setText(
            CharacterText(field, m_state.images.ConfigImage[static_cast<std::size_t>(field.byte)]));
    }
}

void ReaderMiscPage::StoreSentinel(int index)
{
    QLineEdit *box = m_sentinels[index];
    if (DropUnstorable(box, IsInCharacterSet))
        return;
    const QString text = box->text();
    if (text.size() >= 2) {
        // One character per sentinel: the first one typed stays, silently.
        box->setText(text.left(1));
        return;
    }
    const FieldSpec &field = *m_sentinelFields[index];
    if (text.isEmpty()) {
        if (!field.emptyKeepsByte)
            m_state.images.SetBits(field.byte, field.mask, 0);
        return;
    }
    if (const auto byte = CharacterByte(field, text[0]))
        m_state.images.SetBits(field.byte, field.mask, *byte);
}

void ReaderMiscPage::RestoreSentinels()
{
    for (int i = 0; i < 6; ++i) {
        const FieldSpec &field = *m_sentinelFields[i];
        m_sentinels[i]->setText(CharacterText(
            field, m_state.images.DefaultImage[static_cast<std::size_t>(field.byte)]));
        StoreSentinel(i);
    }
}
