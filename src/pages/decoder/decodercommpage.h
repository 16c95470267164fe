#pragma once

#include "pages/commpage.h"
#include "ui/pagecontext.h"

// cfg4 "Communication Parameters": the decoder's own serial line, keyboard-wedge behaviour
// and output characters (bytes 16, 19 and 20).
class DecoderCommPage : public CommPage
{
    Q_OBJECT
public:
    DecoderCommPage(PageContext &context, QWidget *parent = nullptr);
};
