#include "pages/commpage.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

CommPage::CommPage(int type, const char *outputTabCaption, ParameterImages &images, QWidget *parent)
    : FieldPage(type, images, parent)
{
    static constexpr GridPlace kSerial[] = {
        {"optCfg41A", "fraCfg4_1A", 0, 0, 2}, {"optCfg41B", "FraCfg4_1B", 0, 1},
        {"optCfg41C", "FraCfg4_1C", 1, 1},    {"optCfg41D", "FraCfg4_1D", 0, 2, 2},
        {"optRTSCTS", "Frame1", 0, 3},        {"optACKNCK", "Frame2", 1, 3},
        {"optXONXOFF", "Frame3", 2, 3},
    };
    static constexpr GridPlace kKeyboard[] = {
        {"optCfg42A", "fraCfg4_2A", 0, 0, 2},
        {"Optcfg42b", "fraCfg42B", 0, 1},
        {"optCfg42C", "fraCfg42C", 1, 1},
        {"optCfg42D", "fraCfg42D", 0, 2},
    };
    static constexpr GridPlace kOutput[] = {
        {"optCfg43A", "fraCfg43A", 0, 0, 2},
        {"optCfg43B", "fraCfg43B", 0, 1},
    };
    m_tabs = AddTabStrip("TabCFG1");
    AddTab(m_tabs, BuildTab(0, kSerial, "cmdDefault41", 3, 3), "&RS232", "RS232 Mode Parameters");
    AddTab(m_tabs, BuildTab(1, kKeyboard, "cmdDefault42", 2, 2), "&Keyboard",
           "Keyboard Wedge Mode Parameters");
    AddTab(m_tabs, BuildTab(2, kOutput, "cmdDefault43", 1, 1, Qt::AlignBottom), outputTabCaption,
           "Output Characters Parameters");
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
}

QWidget *CommPage::BuildTab(int index, std::span<const GridPlace> frames, const char *button,
                            int buttonRow, int buttonColumn, Qt::Alignment buttonAlignment)
{
    auto *frame = new QWidget(this);
    frame->setObjectName(QStringLiteral("fraCfg4_") + QString::number(index));
    auto *grid = new QGridLayout(frame);
    for (const GridPlace &place : frames)
        grid->addWidget(AddChoiceFrame(place.control, place.frame, frame), place.row, place.column,
                        place.rowSpan, 1);
    grid->addWidget(AddDefaultButton(button, frame), buttonRow, buttonColumn, buttonAlignment);
    return frame;
}
