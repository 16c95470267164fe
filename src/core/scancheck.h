#pragma once

#include "core/scanframing.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QList>
#include <QString>

// A scan taken apart along its framing. Each part is good (as the configuration says), bad
// (it differs: the reason says how) or open (the data, or bytes the configuration leaves open,
// shown without a verdict).
enum class ScanVerdict
{
    Good,
    Bad,
    Open
};

struct ScanPart
{
    QString name; // "prefix", "code ID (Code 39)", "track 2 start"
    QByteArray bytes;
    ScanVerdict verdict = ScanVerdict::Open;
    // One line: "expected suffix {CR}{LF}, received {CR}"; for an open part why it is open.
    QString reason;
};

struct ScanCheck
{
    bool card = false;
    QList<ScanPart> parts;

    int Mismatches() const;
    // The parts in order, each "name bytes", a bad one marked "(!)", an open one with a
    // reason "(?)": "prefix {STX} | data AB12345 | suffix {CR} (!) | terminator {CR}{LF}".
    QString MarkedText() const;
    // The reasons of the bad parts, then those of the open ones, joined by "; ".
    QString Reasons() const;
};

// Takes a scan apart as a card swipe when it starts as a track is framed and a track ends as
// framed (or the track's prefix leads it), else as a bar code.
ScanCheck CheckScan(QByteArrayView scan, const ScanFraming &framing);
ScanCheck CheckBarCode(QByteArrayView scan, const ScanFraming &framing);
ScanCheck CheckCard(QByteArrayView scan, const ScanFraming &framing);

// One scan as a line of text, the fields separated by tabs (the key notation holds none): the
// time it arrived, its length, its bytes, its parts, the reasons.
QString ScanRowText(const QDateTime &at, QByteArrayView scan, const ScanCheck &check);
// "good", "bad", "open".
QString VerdictName(ScanVerdict verdict);
