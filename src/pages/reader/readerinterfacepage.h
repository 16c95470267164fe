#pragma once

#include "pages/fieldpage.h"
#include "pages/pagecontext.h"

// magcfg3 "Interface": the configuration's header texts (shared with the decoder's interface
// page) and the reader's interface, memory and external keyboard (bytes 25 and 26).
class ReaderInterfacePage : public FieldPage
{
    Q_OBJECT
public:
    ReaderInterfacePage(PageContext &context, QWidget *parent = nullptr);

private:
    QWidget *BuildInterfaceTab();
};
