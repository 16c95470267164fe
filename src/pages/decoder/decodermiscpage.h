#pragma once

#include "pages/miscpage.h"

// cfg6 "Miscellaneous Parameters" of the bar decoder: keyboard language, the code ID of
// each symbology, prefix and suffix in key notation, and truncation of the data.
class DecoderMiscPage : public MiscPage
{
    Q_OBJECT
public:
    DecoderMiscPage(PageContext &context, QWidget *parent = nullptr);

private:
    // "Clear All" of the truncation: nothing is cut from the data.
    void ClearTruncate();
    QWidget *BuildCodeIds();
    QWidget *BuildCharactersEdit();
};
