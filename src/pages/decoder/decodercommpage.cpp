#include "pages/decoder/decodercommpage.h"

#include "core/pagetable.h"

DecoderCommPage::DecoderCommPage(PageContext &context, QWidget *parent)
    : CommPage(kDecoderCommPage, "&Output Character", context.state.images, parent)
{
    LoadAll();
}
