#pragma once

#include "pages/miscpage.h"

// magcfg6 "Miscellaneous Parameters" of the magnetic reader: keyboard language, prefix and
// suffix of each track in key notation with function keys, and each track's start and end
// characters.
class ReaderMiscPage : public MiscPage
{
    Q_OBJECT
public:
    ReaderMiscPage(PageContext &context, QWidget *parent = nullptr);

private:
    QWidget *BuildTracksEdit();
    QWidget *BuildSentinels();
};
