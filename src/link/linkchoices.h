#pragma once

#include "core/linksettings.h"

// What each option of the link dialogs (core/linkoptions.h) does to the shared link settings,
// by the option's index, and which option shows the settings. Both link dialogs and
// k30cfg-cli's serial options use these.

void ChooseLinkMode(LinkSettings &settings, int index);
void ChoosePort(LinkSettings &settings, int index);
// Any index that names no rate chooses the start-up rate, "9600".
void ChooseBaud(LinkSettings &settings, int index);
// 0: "7 Data Bits", 1: "8 Data Bits"; the stop-bits digit stays.
void ChooseDataBits(LinkSettings &settings, int index);
// 0: "1 Stop Bit", 1: "2 Stop Bit"; the data-bits digit stays.
void ChooseStopBits(LinkSettings &settings, int index);
// 0: "Not Save", 1: "Save".
void ChooseSaveOption(LinkSettings &settings, int index);

int PortIndex(const LinkSettings &settings);
int BaudIndex(const LinkSettings &settings);
int DataBitsIndex(const LinkSettings &settings);
int StopBitsIndex(const LinkSettings &settings);
