#pragma once

#include "core/parameterimages.h"
#include "link/deviceexchange.h"
#include "link/exchangeoutcome.h"
#include "link/wire/linkframes.h"

#include <QString>

#include <optional>

enum class ExchangeKind
{
    Download,
    Upload,
    Version
};

struct ExchangeResult
{
    ExchangeKind kind = ExchangeKind::Download;
    ExchangeOutcome outcome = ExchangeOutcome::TimeOut;
    int commPort = 0;
    QString version; // "   <field 1>\n\r   <field 2>" of a good upload or version answer
    // The section a good upload or version answer carried; the other one was not read.
    std::optional<Section> section;
};

// One configuration exchange with the device, from its request to its outcome. It ends
// exactly once with Finished(), its port closed and its timers stopped, unless it is aborted.
class LinkExchange : public DeviceExchange
{
    Q_OBJECT
public:
    LinkExchange(ExchangeKind kind, QObject *parent) : DeviceExchange(parent), m_kind(kind) {}

    ExchangeKind Kind() const { return m_kind; }

Q_SIGNALS:
    void Finished(const ExchangeResult &result);

protected:
    void Finish(ExchangeOutcome outcome, int commPort = 0, const QString &version = {},
                std::optional<Section> section = std::nullopt)
    {
        Halt();
        Q_EMIT Finished({m_kind, outcome, commPort, version, section});
    }
    // Ends with a checked upload or version answer (none: the answer was bad). A good upload
    // answer overwrites its section of `image`; a version answer is only reported.
    void FinishWithAnswer(const std::optional<UploadAnswer> &answer, Image &image, int commPort = 0)
    {
        if (!answer) {
            Finish(ExchangeOutcome::Bad, commPort);
            return;
        }
        if (m_kind == ExchangeKind::Upload)
            ApplyUploadAnswer(*answer, image);
        Finish(ExchangeOutcome::Good, commPort, VersionText(*answer), answer->section);
    }

private:
    ExchangeKind m_kind;
};
