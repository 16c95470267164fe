#pragma once

#include "core/parameterimages.h"
#include "link/linkexchange.h"
#include "link/serialexchange.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

// The device a --port option names: "1" to "4" or "COM1" to "COM4" stand for the window's
// ports (K30CFG_COM1... may point them elsewhere), anything else is a device path.
struct DevicePort
{
    QString label; // as given on the command line
    SerialTarget target;

    static DevicePort FromOption(const QString &option, const QString &settingsText);
};

// One device's part of a command: a download (and the upload that verifies it), an upload,
// or a version request, run by the link layer's exchanges in the event loop. Ends with
// Done() exactly once.
class DeviceJob : public QObject
{
    Q_OBJECT
public:
    enum class Task
    {
        Download,
        Upload, // reads the section the device sends into Image()
        Version
    };

    DeviceJob(Task task, DevicePort port, const Image &image, bool save, bool verify,
              QObject *parent = nullptr);
    ~DeviceJob() override;

    void Start();

    int ExitCode() const { return m_exitCode; }
    // What to print: lines for standard output and for standard error.
    const QStringList &Output() const { return m_output; }
    const QStringList &Errors() const { return m_errors; }
    const DevicePort &Port() const { return m_port; }
    // The image sent, or after an upload the image with the device's section.
    const Image &Result() const { return m_image; }
    const ExchangeResult &LastResult() const { return m_result; }

Q_SIGNALS:
    void Done();

private:
    void Run(ExchangeKind kind, Image &image);
    void OnFinished(const ExchangeResult &result);
    void Verify();
    void Report(const ExchangeResult &result);
    void End(int exitCode);

    Task m_task;
    DevicePort m_port;
    Image m_image;
    Image m_readBack{};
    bool m_save;
    bool m_verify;
    bool m_verifying = false;
    std::unique_ptr<SerialExchange> m_exchange;
    ExchangeResult m_result;
    int m_exitCode = 0;
    QStringList m_output;
    QStringList m_errors;
};

// The exit status an exchange's outcome stands for.
int ExitCodeOf(ExchangeOutcome outcome);
// A message box text as terminal lines: the box breaks lines at CR.
QString TerminalText(QString text);
