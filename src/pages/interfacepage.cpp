#include "pages/interfacepage.h"

#include "pages/headertextsframe.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

InterfacePage::InterfacePage(int type, const char *userTabCaption, const char *interfaceTip,
                             std::initializer_list<const char *> flags, PageContext &context,
                             QWidget *parent)
    : FieldPage(type, context.state.images, parent)
{
    QTabWidget *tabs = AddTabStrip("TabCFG");
    auto *texts = new HeaderTextsFrame(context.state.header, this);
    texts->setObjectName(QStringLiteral("fraCfg3_0"));
    AddTab(tabs, texts, userTabCaption, "User's Name,building date and other informations");
    AddTab(tabs, BuildInterfaceTab(flags), "&Interface", interfaceTip);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    LoadAll();
}

QWidget *InterfacePage::BuildInterfaceTab(std::initializer_list<const char *> flags)
{
    // The tab's frame is a plain widget; the option group's frame inside it carries the
    // same name as a group box.
    auto *frame = new QWidget(this);
    frame->setObjectName(QStringLiteral("fraCfg3_1"));
    auto *grid = new QGridLayout(frame);
    grid->addWidget(AddChoiceFrame("OptCfg3_1", "fraCfg3_1", frame), 0, 0, 3, 1);
    int row = 0;
    for (const char *flag : flags)
        grid->addWidget(AddFlagBox(flag, frame), row++, 1);
    grid->addWidget(AddDefaultButton("cmdDefault31_2", frame), 2, 1, Qt::AlignBottom);
    return frame;
}
