#include "shell/pageregistry.h"

#include "link/ui/readmemorydialog.h"
#include "link/ui/transmitdialog.h"
#include "pages/decoder/barcodespage.h"
#include "pages/decoder/decodercommpage.h"
#include "pages/decoder/decoderinterfacepage.h"
#include "pages/decoder/decodermiscpage.h"
#include "pages/reader/readercommpage.h"
#include "pages/reader/readerinterfacepage.h"
#include "pages/reader/readermiscpage.h"

namespace {

// Each page adds its factory here once it exists.
const PageInfo kPages[] = {
    {1, "cfg3", PageSection::Decoder, "mnuConfigInterface", "mnuConfigDefault",
     [](PageContext &c, QWidget *p) -> QWidget * { return new DecoderInterfacePage(c, p); }},
    {2, "cfg4", PageSection::Decoder, "mnuConfigComm", "mnuConfigDefault",
     [](PageContext &c, QWidget *p) -> QWidget * { return new DecoderCommPage(c, p); }},
    {3, "cfg5", PageSection::Decoder, "mnuConfigBar", "mnuConfigDefault",
     [](PageContext &c, QWidget *p) -> QWidget * { return new BarCodesPage(c, p); }},
    {4, "cfg6", PageSection::Decoder, "mnuConfigMisc", "mnuConfigDefault",
     [](PageContext &c, QWidget *p) -> QWidget * { return new DecoderMiscPage(c, p); }},
    {5, "frmTransmit", PageSection::Both, "", "mnuConfigDefault",
     [](PageContext &c, QWidget *p) -> QWidget * { return new TransmitDialog(c, p); },
     /*maximized=*/true},
    {6, "magcfg4", PageSection::Reader, "mnuMagComm", "mnuMagDefault",
     [](PageContext &c, QWidget *p) -> QWidget * { return new ReaderCommPage(c, p); }},
    {7, "magcfg6", PageSection::Reader, "mnuMagMisc", "mnuMagDefault",
     [](PageContext &c, QWidget *p) -> QWidget * { return new ReaderMiscPage(c, p); }},
    {8, "magcfg3", PageSection::Reader, "mnuMagInterface", "mnuMagDefault",
     [](PageContext &c, QWidget *p) -> QWidget * { return new ReaderInterfacePage(c, p); }},
    {9, "frmReadMemory", PageSection::Decoder, "", "",
     [](PageContext &c, QWidget *p) -> QWidget * { return new ReadMemoryDialog(c, p); },
     /*maximized=*/true},
};

} // namespace

std::span<const PageInfo> PageTable()
{
    return kPages;
}

const PageInfo *FindPage(int type)
{
    for (const auto &page : kPages) {
        if (page.type == type)
            return &page;
    }
    return nullptr;
}
