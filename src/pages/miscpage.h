#pragma once

#include "pages/fieldpage.h"
#include "ui/pagecontext.h"

// The Miscellaneous page of either section: the tab strip TabCFG3 that opens on the keyboard
// language with its "Set Default", and the prefix and suffix frames that both sections edit in
// key notation with the Control Key dialog. Each section adds its other two tabs. Beside the
// languages stands the PC's keyboard layout, where it is known (`lblPcLayout`).
class MiscPage : public FieldPage
{
    Q_OBJECT
protected:
    MiscPage(int type, PageContext &context, QWidget *parent);

    QTabWidget *Tabs() const { return m_tabs; }
    // The prefix frame fra69 and the suffix frame Frame1 into `layout`; the hints say how many
    // keys fit, the track captions name the selector options where there are tracks.
    void AddKeyTextFrames(QBoxLayout *layout, QWidget *parent, const char *prefixHint,
                          const char *suffixHint, const QStringList &tracks = {});

private:
    QWidget *BuildLanguage(const KeyboardLayoutSource *keyboardLayout);

    QTabWidget *m_tabs = nullptr;
};
