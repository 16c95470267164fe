#include "pages/decoder/decoderinterfacepage.h"

#include "core/pagetable.h"

DecoderInterfacePage::DecoderInterfacePage(PageContext &context, QWidget *parent)
    : InterfacePage(kDecoderInterfacePage, "&User Information",
                    "Interface Selection and 2nd Port Input Device Selection", {"ChkRead"}, context,
                    parent)
{
}
