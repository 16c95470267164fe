#pragma once

#include "about/sysinfo.h"

#include <QDialog>

// "About This Software": the tool's title and version, and the way to the host's system
// information program. Opened beside the open page, not modally.
class AboutBox : public QDialog
{
    Q_OBJECT
public:
    explicit AboutBox(QWidget *parent = nullptr, SysInfoHost host = SysInfoHost::Native());

private:
    void ShowSystemInfo();

    SysInfoHost m_host;
};
