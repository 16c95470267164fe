#include "shell/pageregistry.h"

namespace {

// Each page adds its factory here once it exists.
const PageInfo kPages[] = {
    {1, "cfg3", PageSection::Decoder, "mnuConfigInterface", "mnuConfigDefault", nullptr},
    {2, "cfg4", PageSection::Decoder, "mnuConfigComm", "mnuConfigDefault", nullptr},
    {3, "cfg5", PageSection::Decoder, "mnuConfigBar", "mnuConfigDefault", nullptr},
    {4, "cfg6", PageSection::Decoder, "mnuConfigMisc", "mnuConfigDefault", nullptr},
    {5, "frmTransmit", PageSection::Both, "", "mnuConfigDefault", nullptr},
    {6, "magcfg4", PageSection::Reader, "mnuMagComm", "mnuMagDefault", nullptr},
    {7, "magcfg6", PageSection::Reader, "mnuMagMisc", "mnuMagDefault", nullptr},
    {8, "magcfg3", PageSection::Reader, "mnuMagInterface", "mnuMagDefault", nullptr},
    {9, "frmReadMemory", PageSection::Decoder, "", "", nullptr},
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
