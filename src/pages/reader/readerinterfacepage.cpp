#include "pages/reader/readerinterfacepage.h"

ReaderInterfacePage::ReaderInterfacePage(PageContext &context, QWidget *parent)
    : InterfacePage("magcfg3", "&User Informations", "Interface and Code ID Selection",
                    {"ChkMSRMem", "ChkNotebook"}, context, parent)
{
}
