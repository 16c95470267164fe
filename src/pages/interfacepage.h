#pragma once

#include "pages/fieldpage.h"
#include "ui/pagecontext.h"

#include <initializer_list>

// The interface page shared by the decoder and the reader: the tab strip TabCFG with the
// header texts of the configuration (fraCfg3_0) and the section's interface option group
// OptCfg3_1 beside its check boxes and "Set Default" (fraCfg3_1).
class InterfacePage : public FieldPage
{
    Q_OBJECT
protected:
    InterfacePage(int type, const char *userTabCaption, const char *interfaceTip,
                  std::initializer_list<const char *> flags, PageContext &context, QWidget *parent);

private:
    QWidget *BuildInterfaceTab(std::initializer_list<const char *> flags);
};
