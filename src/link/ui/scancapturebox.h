#pragma once

#include <QByteArray>
#include <QLineEdit>

// Where the device types its scans on the keyboard path: every key it types is a byte of the
// scan, Tab, Enter and Escape included (they end scans as terminators and suffixes), so none
// of them moves the focus or closes the window; the window's buttons stay reachable by their
// Alt shortcuts. The box shows nothing itself: the scans are listed.
class ScanCaptureBox : public QLineEdit
{
    Q_OBJECT
public:
    explicit ScanCaptureBox(QWidget *parent);

Q_SIGNALS:
    void Typed(const QByteArray &bytes);

protected:
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
};
