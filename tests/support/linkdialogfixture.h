#pragma once

#include "link/ui/linkdialog.h"
#include "support/simulatedk30.h"

#include <QAbstractButton>

#include <memory>

// The buttons of each dialog that are enabled and disabled together around an exchange.
inline const QList<const char *> kTransmitButtons = {"cmdTransmit", "cmdReceive", "CmdVersion",
                                                     "CmdClose"};
inline const QList<const char *> kMemoryButtons = {"CmdDisplay", "CmdClose",  "CmdRead",
                                                   "cmdSave",    "cmdSaveAs", "cmdClear"};

// A link dialog ("Transmit" or "Read Decoder Memory") on a fresh state, with a simulated K30
// behind the keyboard path and on a pseudo-terminal (attach it to "Com 1" for the serial path).
class LinkDialogFixture
{
public:
    // `buttons`: kTransmitButtons or kMemoryButtons.
    explicit LinkDialogFixture(const QList<const char *> &buttons) : m_buttons(buttons) {}
    ~LinkDialogFixture();

    // Opens the dialog, shown and active, in place of the one open before.
    template <typename Dialog, typename... Timings> Dialog *Open(const Timings &...timings)
    {
        dialog.reset();
        auto *opened = new Dialog(context, nullptr, timings...);
        Show(opened);
        return opened;
    }
    template <typename T> T *Find(const char *name) const
    {
        return dialog->findChild<T *>(QLatin1String(name));
    }
    void Click(const char *name) const { Find<QAbstractButton>(name)->click(); }
    bool ButtonsEnabled() const;

    AppState state;
    SimulatedK30 k30;
    PageContext context{state, &k30.wedge};
    std::unique_ptr<LinkDialog> dialog;

private:
    void Show(LinkDialog *opened);

    QList<const char *> m_buttons;
};
