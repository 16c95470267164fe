#include "pages/decoder/decoderinterfacepage.h"

DecoderInterfacePage::DecoderInterfacePage(PageContext &context, QWidget *parent)
    : InterfacePage("cfg3", "&User Information",
                    "Interface Selection and 2nd Port Input Device Selection", {"ChkRead"}, context,
                    parent)
{
}
