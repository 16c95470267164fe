#include "pages/decoder/decodercommpage.h"

DecoderCommPage::DecoderCommPage(PageContext &context, QWidget *parent)
    : CommPage("cfg4", "&Output Character", context.state.images, parent)
{
    LoadAll();
}
