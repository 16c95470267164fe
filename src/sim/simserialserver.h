#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

class QSocketNotifier;
class SimDevice;

// Puts a SimDevice on a serial line: a new pseudo-terminal whose other end the tool opens
// (Path()), or a real serial device. Answers go out after the device's delay, paced at its
// baud rate when one is set, and the line can go dead in the middle of an answer.
class SimSerialServer : public QObject
{
    Q_OBJECT
public:
    explicit SimSerialServer(SimDevice &device, QObject *parent = nullptr);
    ~SimSerialServer() override;

    bool OpenPseudoTerminal();
    bool OpenDevice(const QString &path, int baud);
    void Close();
    // The device the tool is to open.
    QString Path() const { return m_path; }
    QString ErrorString() const { return m_error; }
    // The line as the other end set it up: "9600,N,8,1".
    QString LineSettings() const;
    // Sends bytes nobody asked for, as a scan: paced and faulted like an answer.
    void SendUnasked(const QByteArray &bytes) { Answer(bytes); }
    // The line settings the device itself is set to: a request on a line set up otherwise
    // reaches it as noise, and what it sends back is noise to the PC. Baud rate and stop
    // bits are compared always; the data bits only on a real serial device, as a Linux
    // pseudo-terminal shows 8 whatever the other end asked for. A baud rate of 0: any line.
    void SetDeviceLine(int baud, int dataBits, int stopBits);

Q_SIGNALS:
    void Logged(const QString &line);
    // The line went dead (hang-up fault); the server is closed.
    void HungUp();

private:
    void OnReadable();
    void Answer(const QByteArray &answer);
    void SendDue();
    void Log(const QString &line);
    bool Fail(const QString &what);
    void Listen();
    bool LineMatches() const;

    SimDevice &m_device;
    int m_fd = -1;
    int m_slaveFd = -1; // keeps a pseudo-terminal alive while the tool has it closed
    QString m_path;
    QString m_error;
    QSocketNotifier *m_notifier = nullptr;
    QElapsedTimer m_sinceInput;
    QByteArray m_out;
    qsizetype m_sent = 0;
    QElapsedTimer m_sinceAnswer;
    QTimer m_pace;
    QTimer m_delay;
    int m_answerBytes = 0;
    int m_lineBaud = 0;
    int m_lineDataBits = 8;
    int m_lineStopBits = 1;
};
