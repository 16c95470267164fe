#pragma once

#include "pages/interfacepage.h"

// `cfg3`, "Interface": the header texts of the configuration and the decoder's host
// interface and data memory. Page type 1.
class DecoderInterfacePage : public InterfacePage
{
    Q_OBJECT
public:
    DecoderInterfacePage(PageContext &context, QWidget *parent = nullptr);
};
