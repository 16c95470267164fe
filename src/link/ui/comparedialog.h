#pragma once

#include "core/configdiff.h"
#include "core/configdocument.h"
#include "link/linkexchange.h"
#include "link/linktimings.h"
#include "ui/pagecontext.h"

#include <QDialog>

#include <functional>
#include <optional>

class ExchangeRunner;
class QLabel;
class QTreeWidget;

// Reads the configuration file to compare with; none when it cannot be read or is no
// configuration, the user having been told why. `incomplete` counts the values the file lacks.
using ConfigFileReader =
    std::function<std::optional<ConfigDocument>(const QString &path, int *incomplete)>;

// "Compare With File" and "Compare With Device" (object name `frmCompare`): one list of the
// parameters in which the configuration here differs from a file or from the device, by
// page, parameter, value here and value there (`lstCompare`), and a note saying what was
// compared (`lblCompared`). The device is asked for the section it sends, with the link
// settings of "Transmit", into a copy of the image: nothing of the configuration changes. It
// runs the upload as the link dialogs run their exchanges: buttons disabled, the capture box
// for the keyboard path, the progress bar, stopped when the window closes. Enter or a double
// click on a row asks for its control (EntryChosen); F1 opens the manual.
class CompareDialog : public QDialog
{
    Q_OBJECT
public:
    // `readFile` reads the files of Compare With File; without one no file is compared.
    CompareDialog(PageContext &context, ConfigFileReader readFile, QWidget *parent,
                  const LinkTimings &timings = {});
    ~CompareDialog() override;

    // False, with nothing shown, when the file cannot be read or is no configuration.
    bool CompareWithFile(const QString &path);
    // Starts the upload; the list follows when the device has answered.
    void CompareWithDevice();
    bool IsExchangeRunning() const;

Q_SIGNALS:
    void EntryChosen(const ConfigEntry &entry);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void CompareAgain();
    void ShowDifferences(const ParameterDifferences &differences, const QString &there,
                         const QString &note);
    void OnUploaded(const ExchangeResult &result);

    PageContext &m_context;
    ConfigFileReader m_readFile;
    LinkTimings m_timings;
    QString m_file;        // the file compared with; empty for the device
    QString m_deviceWords; // "on Com 1": the device the running upload asks
    Image m_here{};
    Image m_device{};
    ParameterDifferences m_differences;
    ExchangeRunner *m_runner = nullptr;
    QLabel *m_note = nullptr;
    QTreeWidget *m_list = nullptr;
};
