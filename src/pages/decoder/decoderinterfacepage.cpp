#include "pages/decoder/decoderinterfacepage.h"

#include "pages/headertextsframe.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

DecoderInterfacePage::DecoderInterfacePage(PageContext &context, QWidget *parent)
    : FieldPage("cfg3", context.state.images, parent)
{
    QTabWidget *tabs = AddTabStrip("TabCFG");
    auto *texts = new HeaderTextsFrame(context.state.header, this);
    texts->setObjectName(QStringLiteral("fraCfg3_0"));
    AddTab(tabs, texts, "&User Information", "User's Name,building date and other informations");
    AddTab(tabs, BuildInterfaceTab(), "&Interface",
           "Interface Selection and 2nd Port Input Device Selection");
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    LoadAll();
}

QWidget *DecoderInterfacePage::BuildInterfaceTab()
{
    // The tab's frame is a plain widget; the option group's frame inside it carries the
    // same name as a group box.
    auto *frame = new QWidget(this);
    frame->setObjectName(QStringLiteral("fraCfg3_1"));
    auto *grid = new QGridLayout(frame);
    grid->addWidget(AddChoiceFrame("OptCfg3_1", "fraCfg3_1", frame), 0, 0, 3, 1);
    grid->addWidget(AddFlagBox("ChkRead", frame), 0, 1);
    grid->addWidget(AddDefaultButton("cmdDefault31_2", frame), 2, 1, Qt::AlignBottom);
    return frame;
}
