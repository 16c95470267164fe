#include "linkdialogfixture.h"

#include "support/messageboxes.h"

#include <QTest>

LinkDialogFixture::~LinkDialogFixture()
{
    CloseModalWindows();
    dialog.reset();
}

void LinkDialogFixture::Show(LinkDialog *opened)
{
    dialog.reset(opened);
    dialog->show();
    dialog->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
}

bool LinkDialogFixture::ButtonsEnabled() const
{
    bool all = true;
    bool any = false;
    for (const char *name : m_buttons) {
        const bool enabled = Find<QAbstractButton>(name)->isEnabled();
        all = all && enabled;
        any = any || enabled;
    }
    if (all != any)
        qWarning("the dialog's buttons disagree");
    return all;
}
