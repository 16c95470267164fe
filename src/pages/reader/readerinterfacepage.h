#pragma once

#include "pages/interfacepage.h"

// magcfg3 "Interface": the configuration's header texts (shared with the decoder's interface
// page) and the reader's interface, memory and external keyboard (bytes 25 and 26).
class ReaderInterfacePage : public InterfacePage
{
    Q_OBJECT
public:
    ReaderInterfacePage(PageContext &context, QWidget *parent = nullptr);
};
