#include "link/ui/capturebox.h"

#include "link/deviceexchange.h"

CaptureBox::CaptureBox(QWidget *parent) : QLineEdit(parent)
{
    setObjectName(QStringLiteral("Text1"));
    setAccessibleName(QStringLiteral("Device answer"));
    setFixedSize(16, 16);
}

void CaptureBox::Follow(DeviceExchange *exchange)
{
    connect(this, &QLineEdit::textChanged, exchange, &DeviceExchange::CaptureChanged);
    connect(exchange, &DeviceExchange::CaptureReset, this, [this] {
        clear();
        // The device types into whatever has the keyboard focus: this box, in the active
        // window (a message box that just closed may have left none active).
        activateWindow();
        setFocus();
    });
}
