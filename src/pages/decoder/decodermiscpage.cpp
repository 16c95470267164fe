#include "pages/decoder/decodermiscpage.h"

#include "core/charset.h"
#include "core/fieldcatalogue.h"
#include "core/pagetable.h"
#include "pages/fieldbinder.h"
#include "pages/keytextframe.h"
#include "pages/storabletext.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

constexpr const char *kPage = "cfg6";

const FieldSpec &Row(const char *control)
{
    return *FindControl(kPage, control);
}

QString IndexedName(const char *control, int index)
{
    return Text(control) + QLatin1Char('_') + QString::number(index);
}

bool IsInCharacterSet(QChar c)
{
    return CharToByte(c).has_value();
}

// The count a truncate box stands for: the number its text starts with, 0 when there is
// none. A count the device cannot take (negative, fractional, above `maximum`) is brought
// into range and `clamped` tells the box to show the count actually stored.
int TruncateCount(QStringView text, int maximum, bool &clamped)
{
    clamped = false;
    qsizetype i = 0;
    while (i < text.size() && text[i] == QLatin1Char(' '))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    int value = 0;
    bool digits = false;
    for (; i < text.size() && text[i].isDigit(); ++i) {
        digits = true;
        value = std::min(value * 10 + text[i].digitValue(), maximum + 1);
    }
    if (!digits)
        return 0;
    if (i < text.size() && text[i] == QLatin1Char('.')) {
        for (++i; i < text.size() && text[i].isDigit(); ++i)
            clamped = clamped || text[i] != QLatin1Char('0');
    }
    if (negative && value > 0) {
        clamped = true;
        return 0;
    }
    if (value > maximum) {
        clamped = true;
        return maximum;
    }
    return value;
}

} // namespace

DecoderMiscPage::DecoderMiscPage(PageContext &context, QWidget *parent)
    : QWidget(parent), m_state(context.state)
{
    setObjectName(QStringLiteral("cfg6"));
    setWindowTitle(PageTitle("cfg6"));

    auto *tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("TabCFG3"));
    tabs->addTab(BuildLanguage(), QStringLiteral("&Language"));
    tabs->setTabToolTip(0, QStringLiteral("Language Selection"));
    tabs->addTab(BuildCodeIds(), QStringLiteral("Code &ID"));
    tabs->setTabToolTip(1, QStringLiteral("Define Bar Code ID"));
    tabs->addTab(BuildCharactersEdit(), QStringLiteral("Characters &Edit"));
    tabs->setTabToolTip(2, QStringLiteral("Deleting and Inserting Edit For Output Characters"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(tabs);

    Load();
}

QWidget *DecoderMiscPage::BuildLanguage()
{
    const ChoiceFrame built = BuildChoiceFrame(Row("opt61"), "fraCfg6_0", this, m_state.images);
    m_language = built.binder;
    auto *restore = new QPushButton(QStringLiteral("Set Default"), built.frame);
    restore->setObjectName(QStringLiteral("cmdDefault61"));
    built.frame->layout()->addWidget(restore);
    connect(restore, &QPushButton::clicked, m_language, &FieldBinder::RestoreDefault);
    return built.frame;
}

QWidget *DecoderMiscPage::BuildCodeIds()
{
    auto *frame = new QGroupBox(QStringLiteral("Code ID"), this);
    frame->setObjectName(QStringLiteral("fraCfg6_1"));
    auto *layout = new QGridLayout(frame);
    m_codeIdEnabled = BuildFlagBox(Row("chk62"), frame, m_state.images);
    layout->addWidget(frame->findChild<QCheckBox *>(QStringLiteral("chk62")), 0, 0, 1, 4);
    for (int i = 0; i < 8; ++i) {
        const FieldSpec &field = Row(IndexedName("txt62", i).toLatin1().constData());
        m_codeIdFields[i] = &field;
        auto *label = new QLabel(Text(field.caption), frame);
        label->setObjectName(IndexedName("lbl62", i));
        m_codeIds[i] = new QLineEdit(frame);
        m_codeIds[i]->setObjectName(Text(field.control));
        label->setBuddy(m_codeIds[i]);
        layout->addWidget(label, 1 + i / 2, (i % 2) * 2);
        layout->addWidget(m_codeIds[i], 1 + i / 2, (i % 2) * 2 + 1);
        connect(m_codeIds[i], &QLineEdit::textChanged, this, [this, i] { StoreCodeId(i); });
    }
    auto *restore = new QPushButton(QStringLiteral("Set Default"), frame);
    restore->setObjectName(QStringLiteral("cmdDefault62"));
    layout->addWidget(restore, 5, 0, 1, 4);
    connect(restore, &QPushButton::clicked, this, &DecoderMiscPage::RestoreCodeIds);
    return frame;
}

QWidget *DecoderMiscPage::BuildCharactersEdit()
{
    auto *frame = new QGroupBox(QStringLiteral("Characters Edit"), this);
    frame->setObjectName(QStringLiteral("fraCfg6_2"));
    auto *layout = new QVBoxLayout(frame);

    m_prefix = new KeyTextFrame({&Row("txt694")},
                                {"fra69", "txt694", "lbl694",
                                 "Characters to be Inserted (Only Four Characters Available)",
                                 "Command3", "cmd68_69"},
                                true, {}, m_state, frame);
    m_suffix = new KeyTextFrame({&Row("txt693")},
                                {"Frame1", "txt693", "Label1",
                                 "Characters to be Inserted (Only Four Charaters Available)",
                                 "Command2", "Command4"},
                                false, {}, m_state, frame);
    layout->addWidget(m_prefix);
    layout->addWidget(m_suffix);

    auto *truncate = new QGroupBox(QStringLiteral("Truncate"), frame);
    truncate->setObjectName(QStringLiteral("fra68"));
    auto *grid = new QGridLayout(truncate);
    const char *controls[] = {"cboTruncate1", "CboTruncate2"};
    for (int i = 0; i < 2; ++i) {
        const FieldSpec &field = Row(controls[i]);
        m_truncateFields[i] = &field;
        m_truncate[i] = new QComboBox(truncate);
        m_truncate[i]->setObjectName(Text(field.control));
        m_truncate[i]->setEditable(true);
        m_truncate[i]->setInsertPolicy(QComboBox::NoInsert);
        for (int n = 0; n <= 9; ++n)
            m_truncate[i]->addItem(QString::number(n));
        grid->addWidget(new QLabel(Text(field.caption), truncate), 0, i);
        grid->addWidget(m_truncate[i], 1, i);
        connect(m_truncate[i], &QComboBox::currentTextChanged, this,
                [this, i] { StoreTruncate(i); });
    }
    auto *clearAll = new QPushButton(QStringLiteral("Clear All"), truncate);
    clearAll->setObjectName(QStringLiteral("Command1"));
    grid->addWidget(clearAll, 2, 0, 1, 2);
    connect(clearAll, &QPushButton::clicked, this, &DecoderMiscPage::ClearTruncate);
    layout->addWidget(truncate);
    return frame;
}

void DecoderMiscPage::Load()
{
    const Image &image = m_state.images.ConfigImage;
    m_language->Load();
    m_codeIdEnabled->Load();
    for (int i = 0; i < 8; ++i) {
        const FieldSpec &field = *m_codeIdFields[i];
        m_codeIds[i]->setText(CharacterText(field, image[static_cast<std::size_t>(field.byte)]));
        // A control character read from a file or the device is stored back as 0.
        StoreCodeId(i);
    }
    for (int i = 0; i < 2; ++i) {
        m_truncate[i]->setCurrentText(QString::number(FieldCode(*m_truncateFields[i], image)));
        StoreTruncate(i);
    }
    m_prefix->Load();
    m_suffix->Load();
}

void DecoderMiscPage::StoreCodeId(int index)
{
    QLineEdit *box = m_codeIds[index];
    if (DropUnstorable(box, IsInCharacterSet))
        return;
    const QString text = box->text();
    if (text.size() >= 2) {
        QMessageBox message(QMessageBox::NoIcon, QStringLiteral("Decoder Configuration Setup"),
                            QStringLiteral("Allow only one character."), QMessageBox::Ok, this);
        message.exec();
        // Emptying the box runs this again and stores the empty code ID.
        box->clear();
        return;
    }
    const FieldSpec &field = *m_codeIdFields[index];
    const std::uint8_t byte = text.isEmpty() ? 0 : CharacterByte(field, text[0]).value_or(0);
    m_state.images.SetBits(field.byte, field.mask, byte);
}

void DecoderMiscPage::RestoreCodeIds()
{
    m_codeIdEnabled->RestoreDefault();
    for (int i = 0; i < 8; ++i) {
        const FieldSpec &field = *m_codeIdFields[i];
        m_codeIds[i]->setText(CharacterText(
            field, m_state.images.DefaultImage[static_cast<std::size_t>(field.byte)]));
        StoreCodeId(i);
    }
}

void DecoderMiscPage::StoreTruncate(int index)
{
    const FieldSpec &field = *m_truncateFields[index];
    bool clamped = false;
    const int count = TruncateCount(m_truncate[index]->currentText(), field.maximum, clamped);
    if (clamped) {
        m_truncate[index]->setCurrentText(QString::number(count));
        return;
    }
    m_state.images.SetBits(field.byte, field.mask, ShiftedValue(field, count));
}

void DecoderMiscPage::ClearTruncate()
{
    for (int i = 0; i < 2; ++i) {
        m_truncate[i]->setCurrentText(QStringLiteral("0"));
        StoreTruncate(i);
    }
}
