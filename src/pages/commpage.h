#pragma once

#include "pages/fieldpage.h"

class QTabWidget;

// The communication page shared by the decoder and the reader: the tab strip TabCFG1 with
// the "&RS232", "&Keyboard" and output tabs, whose frames fraCfg4_0 to fraCfg4_2 hold the
// same groups and control names on both, each tab with its own "Set Default" button. The
// rows (bytes, masks, codes) come from the page's catalogue.
class CommPage : public FieldPage
{
    Q_OBJECT
public:
    CommPage(const char *page, const char *outputTabCaption, ParameterImages &images,
             QWidget *parent = nullptr);

protected:
    QTabWidget *Tabs() const { return m_tabs; }

private:
    QWidget *BuildSerialTab();
    QWidget *BuildKeyboardTab();
    QWidget *BuildOutputTab();

    QTabWidget *m_tabs = nullptr;
};
