#include "pages/reader/readerinterfacepage.h"

#include "pages/headertextsframe.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

ReaderInterfacePage::ReaderInterfacePage(PageContext &context, QWidget *parent)
    : FieldPage("magcfg3", context.state.images, parent)
{
    QTabWidget *tabs = AddTabStrip("TabCFG");
    auto *texts = new HeaderTextsFrame(context.state.header, this);
    texts->setObjectName(QStringLiteral("fraCfg3_0"));
    AddTab(tabs, texts, "&User Informations", "User's Name,building date and other informations");
    AddTab(tabs, BuildInterfaceTab(), "&Interface", "Interface and Code ID Selection");
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    LoadAll();
}

QWidget *ReaderInterfacePage::BuildInterfaceTab()
{
    // The tab's frame is a plain widget; the option group's frame inside it carries the
    // same name as a group box.
    auto *frame = new QWidget(this);
    frame->setObjectName(QStringLiteral("fraCfg3_1"));
    auto *grid = new QGridLayout(frame);
    grid->addWidget(AddChoiceFrame("OptCfg3_1", "fraCfg3_1", frame), 0, 0, 3, 1);
    grid->addWidget(AddFlagBox("ChkMSRMem", frame), 0, 1);
    grid->addWidget(AddFlagBox("ChkNotebook", frame), 1, 1);
    grid->addWidget(AddDefaultButton("cmdDefault31_2", frame), 2, 1, Qt::AlignBottom);
    return frame;
}
