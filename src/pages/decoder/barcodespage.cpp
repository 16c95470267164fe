#include "pages/decoder/barcodespage.h"

#include "core/pagetable.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

constexpr int kSymbologies = 8;

} // namespace

BarCodesPage::BarCodesPage(PageContext &context, QWidget *parent)
    : FieldPage(kBarCodesPage, context.state.images, parent)
{
    QTabWidget *tabs = AddTabStrip("TabCFG2");
    AddTab(tabs, BuildSymbologiesTab(), "&Symboligies", "Symboligies Selection");
    AddTab(tabs, BuildUpcTab(), "&UPC/EAN/JAN", "UPC/EAN/JAN Parameters");
    AddTab(tabs, BuildCode39Tab(), "Code &39", "Code 39 Parameters");
    AddTab(tabs, BuildCode128Tab(), "Code 12&8", "Code 128 Parameters");
    AddTab(tabs, BuildInterleave25Tab(), "&Interleave 25", "Interleave 25 Parameters");
    AddTab(tabs, BuildCodabarTab(), "Coda&bar", "CodaBar Parameters");
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    LoadAll();
}

void BarCodesPage::ClearAllBarcodes()
{
    for (int i = 0; i < kSymbologies; ++i)
        BinderOf<OptionBinder>(ArrayElement("chk51", i).constData())->Choose(0);
}

QGroupBox *BarCodesPage::TabFrame(int index, const char *caption)
{
    auto *frame = new QGroupBox(Text(caption), this);
    frame->setObjectName(QStringLiteral("fraCfg5_") + QString::number(index));
    return frame;
}

QWidget *BarCodesPage::BuildSymbologiesTab()
{
    QGroupBox *frame = TabFrame(0, "Symboligies Selection");
    auto *grid = new QGridLayout(frame);
    for (int i = 0; i < kSymbologies; ++i)
        grid->addWidget(AddFlagBox(ArrayElement("chk51", i).constData(), frame), i % 4, i / 4);
    auto *clear = new QPushButton(QStringLiteral("Clear All Barcodes"), frame);
    clear->setObjectName(QStringLiteral("Command1"));
    connect(clear, &QPushButton::clicked, this, &BarCodesPage::ClearAllBarcodes);
    grid->addWidget(clear, 4, 0);
    grid->addWidget(AddDefaultButton("cmdSetAll", frame), 4, 1);
    return frame;
}

QWidget *BarCodesPage::BuildUpcTab()
{
    QGroupBox *frame = TabFrame(1, "UPC/EAN/JAN Parameters");
    auto *grid = new QGridLayout(frame);
    auto *readingType = new QGroupBox(QStringLiteral("Reading Type"), frame);
    readingType->setObjectName(QStringLiteral("fraCfg52A"));
    auto *types = new QVBoxLayout(readingType);
    types->addWidget(AddFlagBox("chkUpcAEan13", readingType));
    types->addWidget(AddFlagBox("chkIsbn", readingType));
    grid->addWidget(readingType, 0, 0);
    grid->addWidget(AddChoiceFrame("optCfg52B", "fraCfg52B", frame), 0, 1);
    grid->addWidget(AddChoiceFrame("Optcheck", "fraCfg52C", frame), 1, 0);
    grid->addWidget(AddDefaultButton("cmdDefault52C", frame), 1, 1, Qt::AlignBottom);
    return frame;
}

QWidget *BarCodesPage::BuildCode39Tab()
{
    QGroupBox *frame = TabFrame(2, "Code 39 Parameters");
    auto *grid = new QGridLayout(frame);
    grid->addWidget(AddChoiceFrame("Optcode39", "fra53A", frame), 0, 0);
    grid->addWidget(AddChoiceFrame("opt53B", "fra53B", frame), 0, 1, 2, 1);
    grid->addWidget(AddChoiceFrame("OptStart_stop", "fra53C", frame), 1, 0);
    grid->addWidget(AddDefaultButton("cmdDefault53", frame), 2, 1);
    return frame;
}

QWidget *BarCodesPage::BuildCode128Tab()
{
    QGroupBox *frame = TabFrame(3, "Code 128 Parameters");
    return InColumn(frame, {AddChoiceFrame("opt54A", "fra54A", frame)}, "cmdDefault54");
}

QWidget *BarCodesPage::BuildInterleave25Tab()
{
    QGroupBox *frame = TabFrame(4, "Interleave 25 Parameters");
    return InColumn(frame,
                    {AddFlagBox("ChkBrazil", frame), AddChoiceFrame("opt55A", "fra55A", frame)},
                    "cmdDefault55");
}

QWidget *BarCodesPage::InColumn(QGroupBox *frame, std::initializer_list<QWidget *> controls,
                                const char *button)
{
    auto *layout = new QVBoxLayout(frame);
    for (QWidget *control : controls)
        layout->addWidget(control);
    layout->addWidget(AddDefaultButton(button, frame), 0, Qt::AlignRight);
    return frame;
}

QWidget *BarCodesPage::BuildCodabarTab()
{
    QGroupBox *frame = TabFrame(5, "Codabar Parameters");
    auto *grid = new QGridLayout(frame);
    grid->addWidget(AddFlagBox("chk58A", frame), 0, 0, 1, 2);
    // Bits 4 to 7 of byte 18 are the start characters, bits 0 to 3 the stop characters.
    grid->addWidget(CodabarFrame("fra58B1", "Transmission Type of Start", 4, frame), 1, 0);
    grid->addWidget(CodabarFrame("fra58B2", "Transmission Type of Stop", 0, frame), 1, 1);
    grid->addWidget(AddDefaultButton("cmdDefault58", frame), 2, 1, Qt::AlignRight);
    return frame;
}

QGroupBox *BarCodesPage::CodabarFrame(const char *name, const char *caption, int first,
                                      QWidget *parent)
{
    auto *box = new QGroupBox(Text(caption), parent);
    box->setObjectName(Text(name));
    auto *layout = new QHBoxLayout(box);
    for (int i = first; i < first + 4; ++i)
        layout->addWidget(AddFlagBox(ArrayElement("ChkStart", i).constData(), box));
    return box;
}
