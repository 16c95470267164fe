#pragma once

#include "core/memoryrecorddecoder.h"
#include "link/deviceexchange.h"
#include "link/exchangeoutcome.h"

#include <QString>

enum class MemoryKind
{
    Read,
    Clear
};

struct MemoryResult
{
    MemoryKind kind = MemoryKind::Read;
    ExchangeOutcome outcome = ExchangeOutcome::TimeOut;
    bool keyboard = false;
    int commPort = 0;
    // Serial read: the records decoded, and those of them that failed their check.
    int records = 0;
    int failedRecords = 0;
};

// One memory read or clear, from its command to its outcome, without widgets. It ends exactly
// once with Finished(), its port closed and its timers stopped, unless it is aborted (a serial
// read tells the device "E" first).
class MemoryExchange : public DeviceExchange
{
    Q_OBJECT
public:
    MemoryExchange(MemoryKind kind, QObject *parent) : DeviceExchange(parent), m_kind(kind) {}

    MemoryKind Kind() const { return m_kind; }

    // Keyboard path: the text of the memory text area whenever it changes, and a key of code
    // 3 pressed in it.
    virtual void MemoryTextChanged(const QString &text) { Q_UNUSED(text); }
    virtual void MemoryEndKey() {}

Q_SIGNALS:
    void Finished(const MemoryResult &result);
    // The read receives data from now on: the text area is emptied and shown (and, on the
    // keyboard path, given the focus, since the device types into it).
    void ReadStarted();
    // Serial read: records decoded from the latest block, as the lines of the memory text
    // (each ended by CR LF) and one by one.
    void RecordsDecoded(const QString &text, const QList<MemoryRecordDecoder::Record> &records);
    // Serial read: good blocks and records so far.
    void BlocksReceived(int blocks, int records);
    // Keyboard read: characters typed so far.
    void CharactersReceived(int characters);

protected:
    void Finish(ExchangeOutcome outcome, bool keyboard, int commPort = 0, int records = 0,
                int failedRecords = 0)
    {
        Halt();
        Q_EMIT Finished({m_kind, outcome, keyboard, commPort, records, failedRecords});
    }

private:
    MemoryKind m_kind;
};
