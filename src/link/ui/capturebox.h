#pragma once

#include <QLineEdit>

class DeviceExchange;

// The tiny box `Text1` of a window that talks to the device over the keyboard path: the device
// answers by typing, so this box holds the keyboard focus during an exchange and collects what
// arrives.
class CaptureBox : public QLineEdit
{
    Q_OBJECT
public:
    explicit CaptureBox(QWidget *parent);

    // Hands what is typed to `exchange` and empties itself and takes the focus whenever the
    // exchange is about to wait for typed characters; both end with the exchange.
    void Follow(DeviceExchange *exchange);
};
