#include "pages/decoder/decodermiscpage.h"

#include "core/pagetable.h"

#include "pages/numberboxbinder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

constexpr int kCodeIds = 8;
constexpr const char *kTruncate[] = {"cboTruncate1", "CboTruncate2"};

} // namespace

DecoderMiscPage::DecoderMiscPage(PageContext &context, QWidget *parent)
    : MiscPage(kDecoderMiscPage, context, parent)
{
    AddTab(Tabs(), BuildCodeIds(), "Code &ID", "Define Bar Code ID");
    AddTab(Tabs(), BuildCharactersEdit(), "Characters &Edit",
           "Deleting and Inserting Edit For Output Characters");
    LoadAll();
}

void DecoderMiscPage::ClearTruncate()
{
    for (const char *control : kTruncate)
        BinderOf<NumberBoxBinder>(control)->Choose(0);
}

QWidget *DecoderMiscPage::BuildCodeIds()
{
    auto *frame = new QGroupBox(QStringLiteral("Code ID"), this);
    frame->setObjectName(QStringLiteral("fraCfg6_1"));
    auto *layout = new QGridLayout(frame);
    layout->addWidget(AddFlagBox("chk62", frame), 0, 0, 1, 4);
    for (int i = 0; i < kCodeIds; ++i) {
        const QByteArray control = ArrayElement("txt62", i);
        auto *label = new QLabel(Text(Row(control).caption), frame);
        label->setObjectName(QString::fromLatin1(ArrayElement("lbl62", i)));
        QLineEdit *box = AddCharacterEdit(control, frame);
        label->setBuddy(box);
        layout->addWidget(label, 1 + i / 2, (i % 2) * 2);
        layout->addWidget(box, 1 + i / 2, (i % 2) * 2 + 1);
    }
    layout->addWidget(AddDefaultButton("cmdDefault62", frame), 5, 0, 1, 4);
    return frame;
}

QWidget *DecoderMiscPage::BuildCharactersEdit()
{
    auto *frame = new QGroupBox(QStringLiteral("Characters Edit"), this);
    frame->setObjectName(QStringLiteral("fraCfg6_2"));
    auto *layout = new QVBoxLayout(frame);
    AddKeyTextFrames(layout, frame, "Characters to be Inserted (Only Four Characters Available)",
                     "Characters to be Inserted (Only Four Charaters Available)");

    auto *truncate = new QGroupBox(QStringLiteral("Truncate"), frame);
    truncate->setObjectName(QStringLiteral("fra68"));
    auto *grid = new QGridLayout(truncate);
    for (int i = 0; i < 2; ++i) {
        QComboBox *box = AddNumberBox(kTruncate[i], truncate);
        auto *label = new QLabel(Text(Row(kTruncate[i]).caption), truncate);
        label->setBuddy(box);
        grid->addWidget(label, 0, i);
        grid->addWidget(box, 1, i);
    }
    auto *clearAll = new QPushButton(QStringLiteral("Clear All"), truncate);
    clearAll->setObjectName(QStringLiteral("Command1"));
    grid->addWidget(clearAll, 2, 0, 1, 2);
    connect(clearAll, &QPushButton::clicked, this, &DecoderMiscPage::ClearTruncate);
    layout->addWidget(truncate);
    return frame;
}
