#include "pages/commpage.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

QWidget *TabFrame(int index, QWidget *parent)
{
    auto *frame = new QWidget(parent);
    frame->setObjectName(QStringLiteral("fraCfg4_") + QString::number(index));
    return frame;
}

} // namespace

CommPage::CommPage(const char *page, const char *outputTabCaption, ParameterImages &images,
                   QWidget *parent)
    : FieldPage(page, images, parent)
{
    m_tabs = AddTabStrip("TabCFG1");
    AddTab(m_tabs, BuildSerialTab(), "&RS232", "RS232 Mode Parameters");
    AddTab(m_tabs, BuildKeyboardTab(), "&Keyboard", "Keyboard Wedge Mode Parameters");
    AddTab(m_tabs, BuildOutputTab(), outputTabCaption, "Output Characters Parameters");
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
}

QWidget *CommPage::BuildSerialTab()
{
    QWidget *frame = TabFrame(0, this);
    auto *grid = new QGridLayout(frame);
    grid->addWidget(AddChoiceFrame("optCfg41A", "fraCfg4_1A", frame), 0, 0, 2, 1);
    grid->addWidget(AddChoiceFrame("optCfg41B", "FraCfg4_1B", frame), 0, 1);
    grid->addWidget(AddChoiceFrame("optCfg41C", "FraCfg4_1C", frame), 1, 1);
    grid->addWidget(AddChoiceFrame("optCfg41D", "FraCfg4_1D", frame), 0, 2, 2, 1);
    grid->addWidget(AddChoiceFrame("optRTSCTS", "Frame1", frame), 0, 3);
    grid->addWidget(AddChoiceFrame("optACKNCK", "Frame2", frame), 1, 3);
    grid->addWidget(AddChoiceFrame("optXONXOFF", "Frame3", frame), 2, 3);
    grid->addWidget(AddDefaultButton("cmdDefault41", frame), 3, 3);
    return frame;
}

QWidget *CommPage::BuildKeyboardTab()
{
    QWidget *frame = TabFrame(1, this);
    auto *grid = new QGridLayout(frame);
    grid->addWidget(AddChoiceFrame("optCfg42A", "fraCfg4_2A", frame), 0, 0, 2, 1);
    grid->addWidget(AddChoiceFrame("Optcfg42b", "fraCfg42B", frame), 0, 1);
    grid->addWidget(AddChoiceFrame("optCfg42C", "fraCfg42C", frame), 1, 1);
    grid->addWidget(AddChoiceFrame("optCfg42D", "fraCfg42D", frame), 0, 2);
    grid->addWidget(AddDefaultButton("cmdDefault42", frame), 2, 2);
    return frame;
}

QWidget *CommPage::BuildOutputTab()
{
    QWidget *frame = TabFrame(2, this);
    auto *grid = new QGridLayout(frame);
    grid->addWidget(AddChoiceFrame("optCfg43A", "fraCfg43A", frame), 0, 0, 2, 1);
    grid->addWidget(AddChoiceFrame("optCfg43B", "fraCfg43B", frame), 0, 1);
    grid->addWidget(AddDefaultButton("cmdDefault43", frame), 1, 1, Qt::AlignBottom);
    return frame;
}
