#pragma once

#include "jsonreport.h"

#include "core/configdiff.h"
#include "core/configdocument.h"
#include "core/parameterimages.h"
#include "link/linkexchange.h"
#include "link/serial/serialtarget.h"
#include "link/session/sectioncomparison.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

class PortMapping;

// The device a --port option names: "1" to "4" or "COM1" to "COM4" stand for the window's
// ports as `ports` maps them (or, without it, as K30CFG_COM1... or the standard devices say),
// "serial:NUMBER" for the adapter with that USB serial number wherever it is plugged, anything
// else is a device path.
struct DevicePort
{
    QString label; // as given on the command line
    SerialTarget target;
    // Why the device cannot be reached, found before anything is opened (no adapter reports
    // the serial number); empty: it is tried.
    QStringList unavailable;

    static DevicePort FromOption(const QString &option, const QString &settingsText,
                                 const PortMapping *ports);
};

// How a job treats the device.
struct JobOptions
{
    bool save = true;    // download with "Save"
    bool verify = false; // upload after a download and compare
    bool check = false;  // apply: only say what would change
    bool force = false;  // apply: download even when the device holds the file's values
};

// One device's part of a command: a download (and the upload that verifies it), an upload,
// a version request, or an apply (upload, compare, download only when they differ, verify),
// run by the link layer's exchanges in the event loop. Ends with Done() exactly once.
class DeviceJob : public QObject
{
    Q_OBJECT
public:
    enum class Task
    {
        Download,
        Upload, // reads the section the device sends into Result()
        Version,
        Apply
    };

    DeviceJob(Task task, DevicePort port, const Image &image, JobOptions options,
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
    // Apply: the device got, or with `check` would get, the file's values; download: the
    // device accepted them.
    bool Changed() const { return m_changed; }
    // The section compared (apply, verify) or uploaded; never one that was not read back.
    std::optional<Section> ComparedSection() const { return m_section; }
    // Apply: the parameters in which the device differed from the file, or, when the
    // verify failed, those it still holds otherwise; download --verify: the latter.
    const ParameterDifferences &Differences() const { return m_differences; }
    // What --json reports: the lines above without the parameter tables.
    JsonReport Report() const;

Q_SIGNALS:
    void Done();

private:
    enum class Phase
    {
        Exchange,
        Compare, // apply: the first upload
        Verify
    };

    void Run(ExchangeKind kind, Image &image);
    void OnFinished(const ExchangeResult &result);
    // What the upload just read back, compared with the image; none, said and ended, when the
    // device sent no section.
    std::optional<SectionComparison> CompareReadBack(const QString &nothing);
    void Compare();
    void Verify();
    void ReportExchange(const ExchangeResult &result);
    void Say(bool good, const QString &line);
    void Table(bool good, const ParameterDifferences &differences);
    void End(int exitCode);

    Task m_task;
    DevicePort m_port;
    Image m_image;
    Image m_readBack{};
    JobOptions m_options;
    Phase m_phase = Phase::Exchange;
    std::unique_ptr<LinkExchange> m_exchange;
    ExchangeResult m_result;
    QString m_versionText;
    bool m_changed = false;
    std::optional<Section> m_section;
    ParameterDifferences m_differences;
    int m_exitCode = 0;
    QStringList m_output;
    QStringList m_errors;
    QStringList m_message;
};

// Whether an image byte belongs to the section.
bool InSection(int byte, Section section);
// One row of a table of differences: name, value in the file, value in the device.
QString DifferenceLine(const ConfigEntry &inFile, const ConfigEntry &inDevice);
// A message box text as terminal lines: the box breaks lines at CR.
QString TerminalText(QString text);
