#pragma once

#include "pages/fieldpage.h"

#include <span>

class QTabWidget;

// The communication page shared by the decoder and the reader: the tab strip TabCFG1 with
// the "&RS232", "&Keyboard" and output tabs, whose frames fraCfg4_0 to fraCfg4_2 hold the
// same groups and control names on both, each tab with its own "Set Default" button. The
// rows (bytes, masks, codes) come from the page's catalogue.
class CommPage : public FieldPage
{
    Q_OBJECT
public:
    CommPage(int type, const char *outputTabCaption, ParameterImages &images,
             QWidget *parent = nullptr);

protected:
    QTabWidget *Tabs() const { return m_tabs; }

private:
    // Where an option group's frame sits in its tab's grid.
    struct GridPlace
    {
        const char *control;
        const char *frame;
        int row;
        int column;
        int rowSpan = 1;
    };

    // Tab `index`: its option groups' frames and its "Set Default" button.
    QWidget *BuildTab(int index, std::span<const GridPlace> frames, const char *button,
                      int buttonRow, int buttonColumn, Qt::Alignment buttonAlignment = {});

    QTabWidget *m_tabs = nullptr;
};
