// The reference for k30cfg-cli's time to its first request byte: the least a Qt program does
// to send a request on a serial line. It opens the port given as its argument with the
// settings k30cfg-cli uses by default (9600 baud, 8 data bits, no parity, 1 stop bit, no flow
// control), writes one byte and ends once it is written.

#include <QCoreApplication>
#include <QSerialPort>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc < 2)
        return 3;
    QSerialPort port(QString::fromLocal8Bit(argv[1]));
    port.setBaudRate(QSerialPort::Baud9600);
    port.setDataBits(QSerialPort::Data8);
    port.setParity(QSerialPort::NoParity);
    port.setStopBits(QSerialPort::OneStop);
    port.setFlowControl(QSerialPort::NoFlowControl);
    if (!port.open(QIODevice::ReadWrite))
        return 5;
    port.write("\x02", 1);
    return port.waitForBytesWritten(1000) ? 0 : 1;
}
