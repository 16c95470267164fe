#include "shell/pagefactory.h"

#include "core/pagetable.h"
#include "link/ui/readmemorydialog.h"
#include "link/ui/transmitdialog.h"
#include "pages/decoder/barcodespage.h"
#include "pages/decoder/decodercommpage.h"
#include "pages/decoder/decoderinterfacepage.h"
#include "pages/decoder/decodermiscpage.h"
#include "pages/reader/readercommpage.h"
#include "pages/reader/readerinterfacepage.h"
#include "pages/reader/readermiscpage.h"

#include <algorithm>

namespace {

template <typename Page> QWidget *Make(PageContext &context, QWidget *parent)
{
    return new Page(context, parent);
}

struct PageFactory
{
    int type;
    QWidget *(*create)(PageContext &context, QWidget *parent);
};

// One line per row of the page table.
constexpr PageFactory kFactories[] = {
    {kDecoderInterfacePage, Make<DecoderInterfacePage>},
    {kDecoderCommPage, Make<DecoderCommPage>},
    {kBarCodesPage, Make<BarCodesPage>},
    {kDecoderMiscPage, Make<DecoderMiscPage>},
    {kReaderInterfacePage, Make<ReaderInterfacePage>},
    {kReaderCommPage, Make<ReaderCommPage>},
    {kReaderMiscPage, Make<ReaderMiscPage>},
    {kTransmitDialog, Make<TransmitDialog>},
    {kMemoryDialog, Make<ReadMemoryDialog>},
};

// (Numbers only: a sanitizer build does not take addresses as constants.)
constexpr bool EveryPageHasAFactory()
{
    auto factoryFor = [](const PageInfo &page) {
        return std::ranges::count(kFactories, page.type, &PageFactory::type) == 1;
    };
    return std::size(kFactories) == std::size(kPageTable) &&
           std::ranges::all_of(kPageTable, factoryFor);
}
static_assert(EveryPageHasAFactory(), "every row of the page table has one factory line here");

} // namespace

QWidget *CreatePage(int type, PageContext &context, QWidget *parent)
{
    const auto *factory = std::ranges::find(kFactories, type, &PageFactory::type);
    return factory == std::end(kFactories) ? nullptr : factory->create(context, parent);
}
