#include "pages/reader/readerinterfacepage.h"

#include "core/pagetable.h"

ReaderInterfacePage::ReaderInterfacePage(PageContext &context, QWidget *parent)
    : InterfacePage(kReaderInterfacePage, "&User Informations", "Interface and Code ID Selection",
                    {"ChkMSRMem", "ChkNotebook"}, context, parent)
{
}
