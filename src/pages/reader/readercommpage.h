#pragma once

#include "pages/commpage.h"
#include "ui/pagecontext.h"

class QLabel;

// magcfg4 "Communication Parameters": the reader's serial line, keyboard-wedge behaviour and
// output characters (bytes 26 to 28), and a fourth tab for the magnetic card: standard,
// track selection, start/stop characters, account number and separator (bytes 25, 28, 83,
// 84). With JIS2 cards the track selection, account number and separator do not apply.
class ReaderCommPage : public CommPage
{
    Q_OBJECT
public:
    ReaderCommPage(PageContext &context, QWidget *parent = nullptr);

private:
    QWidget *BuildCardTab();
    QLabel *AddLabel(const char *name, const char *control, QWidget *buddy, QWidget *parent);
};
