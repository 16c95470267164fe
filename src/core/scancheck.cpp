#include "core/scancheck.h"

#include <QStringList>

#include <algorithm>
#include <optional>

namespace {

bool IsControl(char c)
{
    return static_cast<std::uint8_t>(c) < 0x20;
}

char Folded(char c)
{
    return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
}

QString Shown(QByteArrayView bytes)
{
    return bytes.isEmpty() ? QStringLiteral("nothing") : ScanKeyText(bytes);
}

// Walks a scan from both ends inward: the fixed parts at the front and at the back are
// checked first, so the data between them is what is left. After a part that differs, or one
// the configuration leaves open, the boundary on that side is lost and the bytes up to the
// other side are shown without a verdict.
class Walker
{
public:
    Walker(QByteArrayView scan, ScanPath path) : m_scan(scan), m_end(scan.size()), m_path(path) {}

    bool Lost() const { return m_lostFront || m_lostBack; }
    bool FrontLost() const { return m_lostFront.has_value(); }
    bool AtEnd() const { return m_begin >= m_end; }
    QByteArrayView Rest() const { return m_scan.sliced(m_begin, m_end - m_begin); }

    // On the keyboard path letters may arrive in either case.
    bool Same(QByteArrayView a, QByteArrayView b) const
    {
        if (a.size() != b.size())
            return false;
        for (qsizetype i = 0; i < a.size(); ++i) {
            if (a[i] != b[i] && (m_path == ScanPath::Serial || Folded(a[i]) != Folded(b[i])))
                return false;
        }
        return true;
    }
    bool StartsWith(qsizetype at, QByteArrayView what) const
    {
        return at + what.size() <= m_end && Same(m_scan.sliced(at, what.size()), what);
    }

    bool Front(const QString &name, const ExpectedBytes &expected)
    {
        return Fixed(name, expected, true);
    }
    bool Back(const QString &name, const ExpectedBytes &expected)
    {
        return Fixed(name, expected, false);
    }

    void Add(const QString &name, qsizetype length, ScanVerdict verdict, const QString &reason = {})
    {
        m_front.append({name, m_scan.sliced(m_begin, length).toByteArray(), verdict, reason});
        m_begin += length;
    }
    void AddBad(const QString &name, qsizetype length, const QString &reason)
    {
        Add(name, length, ScanVerdict::Bad, reason);
        Lose({}, true);
    }
    // `why` is empty after a part that differs: that part says why.
    void Lose(const QString &why, bool front = true) { (front ? m_lostFront : m_lostBack) = why; }

    // The data between the fixed parts, or the bytes that could not be taken apart.
    QList<ScanPart> Finish(const QString &dataName)
    {
        if (!AtEnd()) {
            if (Lost())
                Add(QStringLiteral("rest"), m_end - m_begin, ScanVerdict::Open,
                    FrontLost() ? *m_lostFront : *m_lostBack);
            else
                Add(dataName, m_end - m_begin, ScanVerdict::Open);
        }
        QList<ScanPart> parts = m_front;
        std::reverse(m_back.begin(), m_back.end());
        return parts + m_back;
    }

    qsizetype m_begin = 0;

private:
    // How many bytes stand where `expected` should: as many control bytes as there are when
    // the part is made of control characters (a missing LF shows as "{CR}"), else its length.
    qsizetype Received(QByteArrayView rest, QByteArrayView expected, bool front) const
    {
        const qsizetype most = std::min(rest.size(), expected.size());
        if (!std::all_of(expected.begin(), expected.end(), IsControl))
            return most;
        qsizetype n = 0;
        while (n < rest.size() && IsControl(front ? rest[n] : rest[rest.size() - 1 - n]))
            ++n;
        return n;
    }

    bool Fixed(const QString &name, const ExpectedBytes &expected, bool front)
    {
        if (front ? m_lostFront : m_lostBack)
            return false;
        if (expected.IsOpen()) {
            Lose(name + QStringLiteral(": ") + expected.open, front);
            return false;
        }
        const qsizetype n = expected.bytes.size();
        if (n == 0)
            return true;
        const QByteArrayView rest = Rest();
        const QByteArrayView at =
            front ? rest.first(std::min(n, rest.size())) : rest.last(std::min(n, rest.size()));
        ScanPart part{name, at.toByteArray(), ScanVerdict::Good, {}};
        if (!Same(at, expected.bytes)) {
            const qsizetype got = Received(rest, expected.bytes, front);
            part.bytes = (front ? rest.first(got) : rest.last(got)).toByteArray();
            part.verdict = ScanVerdict::Bad;
            part.reason = QStringLiteral("expected %1 %2, received %3")
                              .arg(name, ScanKeyText(expected.bytes), Shown(part.bytes));
            Lose({}, front);
        }
        if (front) {
            m_front.append(part);
            m_begin += part.bytes.size();
        } else {
            m_back.append(part);
            m_end -= part.bytes.size();
        }
        return part.verdict == ScanVerdict::Good;
    }

    QByteArrayView m_scan;
    qsizetype m_end = 0;
    ScanPath m_path;
    std::optional<QString> m_lostFront;
    std::optional<QString> m_lostBack;
    QList<ScanPart> m_front;
    QList<ScanPart> m_back;
};

void CodeId(Walker &walker, const BarCodeFraming &bar)
{
    if (walker.AtEnd()) {
        walker.AddBad(QStringLiteral("code ID"), 0,
                      QStringLiteral("expected a code ID, received nothing"));
        return;
    }
    const QByteArrayView first = walker.Rest().first(1);
    QStringList types;
    for (int i = 0; i < kCodeIdCount; ++i) {
        const char id = char(bar.codeIds[static_cast<std::size_t>(i)]);
        if (id != 0 && walker.Same(first, QByteArrayView(&id, 1)))
            types.append(QLatin1String(kCodeIdNames[static_cast<std::size_t>(i)]));
    }
    if (types.size() == 1) {
        walker.Add(QStringLiteral("code ID (%1)").arg(types.front()), 1, ScanVerdict::Good);
    } else if (types.isEmpty()) {
        walker.Add(QStringLiteral("code ID"), 1, ScanVerdict::Open,
                   QStringLiteral("%1 is no code ID set on the page; a code type without one "
                                  "sends none")
                       .arg(ScanKeyText(first)));
    } else {
        walker.Add(QStringLiteral("code ID"), 1, ScanVerdict::Open,
                   QStringLiteral("%1 is the code ID of %2")
                       .arg(ScanKeyText(first), types.join(QStringLiteral(" and "))));
    }
}

QString TrackName(int track, const char *part)
{
    return QStringLiteral("track %1 %2").arg(track).arg(QLatin1String(part));
}

// One track from the walker's front up to the separator or the end: its prefix and start
// character are fixed, its data runs to the first end character and suffix that a separator
// or the end follows.
void Track(Walker &walker, const CardFraming &card, int t)
{
    const TrackFraming &track = card.tracks[static_cast<std::size_t>(t - 1)];
    walker.Front(TrackName(t, "prefix"), track.prefix);
    if (card.sentinels)
        walker.Front(TrackName(t, "start"), {track.start, {}});
    if (walker.Lost())
        return;
    if (track.suffix.IsOpen()) {
        walker.Lose(TrackName(t, "suffix: ") + track.suffix.open);
        return;
    }
    const QByteArray end = card.sentinels ? track.end : QByteArray();
    const QByteArray tail = end + track.suffix.bytes;
    const QByteArrayView scan = walker.Rest();
    const auto endsTrack = [&](qsizetype at) {
        return at == scan.size() || walker.StartsWith(walker.m_begin + at, card.separator);
    };
    qsizetype found = -1;
    for (qsizetype i = 0; i + tail.size() <= scan.size() && found < 0; ++i) {
        if (walker.Same(scan.sliced(i, tail.size()), tail) && endsTrack(i + tail.size()))
            found = i;
    }
    if (found >= 0) {
        walker.Add(TrackName(t, "data"), found, ScanVerdict::Open);
        if (!end.isEmpty())
            walker.Add(TrackName(t, "end"), end.size(), ScanVerdict::Good);
        if (!track.suffix.bytes.isEmpty())
            walker.Add(TrackName(t, "suffix"), track.suffix.bytes.size(), ScanVerdict::Good);
        return;
    }
    qsizetype stop = 0;
    while (!endsTrack(stop))
        ++stop;
    const qsizetype got = std::min(tail.size(), stop);
    walker.Add(TrackName(t, "data"), stop - got, ScanVerdict::Open);
    const QString what =
        card.sentinels ? QStringLiteral("end and suffix") : QStringLiteral("suffix");
    walker.Add(TrackName(t, card.sentinels ? "end" : "suffix"), got, ScanVerdict::Bad,
               QStringLiteral("expected track %1 %2 %3, received %4")
                   .arg(t)
                   .arg(what, ScanKeyText(tail), Shown(scan.sliced(stop - got, got))));
}

// The track that starts at the walker's front among `candidates`, by its prefix and start
// character; 0 when none or several do.
int WhichTrack(const Walker &walker, const CardFraming &card, const QList<int> &candidates)
{
    int which = 0;
    for (int t : candidates) {
        const TrackFraming &track = card.tracks[static_cast<std::size_t>(t - 1)];
        if (!track.prefix.IsOpen() &&
            walker.StartsWith(walker.m_begin, track.prefix.bytes + track.start)) {
            if (which != 0)
                return -1;
            which = t;
        }
    }
    return which;
}

void Tracks(Walker &walker, const CardFraming &card)
{
    const bool fixed = !card.order.isEmpty();
    QList<int> left = fixed ? card.order : QList<int>{1, 2, 3};
    QList<int> used;
    int last = 0;
    while (!walker.Lost() && (last == 0 || !walker.AtEnd())) {
        if (last != 0)
            walker.Add(QStringLiteral("separator"), card.separator.size(), ScanVerdict::Good);
        if (left.isEmpty()) {
            walker.AddBad(QStringLiteral("after track %1").arg(last), walker.Rest().size(),
                          QStringLiteral("expected nothing more after track %1, received %2")
                              .arg(last)
                              .arg(ScanKeyText(walker.Rest())));
            return;
        }
        int t = left.front();
        if (card.sentinels) {
            t = WhichTrack(walker, card, left);
            if (t < 0) {
                walker.Lose(QStringLiteral("the prefixes and start characters do not tell the "
                                           "tracks apart"));
                return;
            }
            // A fixed order still lets the device leave out a track the card does not hold.
            if (t == 0)
                t = fixed ? left.front() : 0;
        } else if (!fixed) {
            walker.Lose(QStringLiteral("without start and end characters the track selection "
                                       "leaves open which track this is"));
            return;
        }
        if (t == 0) {
            walker.AddBad(
                QStringLiteral("track start"), std::min<qsizetype>(1, walker.Rest().size()),
                QStringLiteral("expected the start of a track, received %1")
                    .arg(Shown(walker.Rest().first(std::min<qsizetype>(1, walker.Rest().size())))));
            return;
        }
        used.append(t);
        left = fixed ? left.mid(left.indexOf(t) + 1) : QList<int>{1, 2, 3};
        left.removeIf([&](int k) { return used.contains(k); });
        Track(walker, card, t);
        last = t;
    }
}

// A card swipe starts with a track's prefix and start character; a bar code could too, so the
// track must also end as framed, or its prefix (which a bar code does not send) lead it.
bool LooksLikeCard(QByteArrayView scan, const ScanFraming &framing)
{
    const CardFraming &card = framing.card;
    if (!card.open.isEmpty() || !card.sentinels || card.head.IsOpen())
        return false;
    Walker walker(scan, framing.path);
    if (walker.StartsWith(0, card.head.bytes))
        walker.m_begin = card.head.bytes.size();
    for (const TrackFraming &track : card.tracks) {
        if (track.prefix.IsOpen() || track.suffix.IsOpen() ||
            !walker.StartsWith(walker.m_begin, track.prefix.bytes + track.start))
            continue;
        if (!track.prefix.bytes.isEmpty())
            return true;
        const QByteArray tail = track.end + track.suffix.bytes;
        for (qsizetype i = walker.m_begin + 1; i + tail.size() <= scan.size(); ++i) {
            if (walker.StartsWith(i, tail))
                return true;
        }
    }
    return false;
}

} // namespace

int ScanCheck::Mismatches() const
{
    return int(std::count_if(parts.begin(), parts.end(),
                             [](const ScanPart &p) { return p.verdict == ScanVerdict::Bad; }));
}

QString ScanCheck::MarkedText() const
{
    QStringList shown;
    for (const ScanPart &part : parts) {
        QString text = part.name + QLatin1Char(' ') + ScanKeyText(part.bytes);
        if (part.verdict == ScanVerdict::Bad)
            text += QStringLiteral(" (!)");
        else if (!part.reason.isEmpty())
            text += QStringLiteral(" (?)");
        shown.append(text);
    }
    return shown.join(QStringLiteral(" | "));
}

QString ScanCheck::Reasons() const
{
    QStringList bad;
    QStringList open;
    for (const ScanPart &part : parts) {
        if (!part.reason.isEmpty())
            (part.verdict == ScanVerdict::Bad ? bad : open).append(part.reason);
    }
    return (bad + open).join(QStringLiteral("; "));
}

ScanCheck CheckBarCode(QByteArrayView scan, const ScanFraming &framing)
{
    const BarCodeFraming &bar = framing.barCode;
    Walker walker(scan, framing.path);
    walker.Front(QStringLiteral("start"), bar.head);
    walker.Back(QStringLiteral("terminator"), bar.terminator);
    walker.Front(QStringLiteral("prefix"), bar.prefix);
    walker.Back(QStringLiteral("suffix"), bar.suffix);
    if (bar.codeId && !walker.FrontLost())
        CodeId(walker, bar);
    return {false, walker.Finish(QStringLiteral("data"))};
}

ScanCheck CheckCard(QByteArrayView scan, const ScanFraming &framing)
{
    const CardFraming &card = framing.card;
    Walker walker(scan, framing.path);
    walker.Front(QStringLiteral("start"), card.head);
    walker.Back(QStringLiteral("terminator"), card.terminator);
    if (!card.open.isEmpty())
        walker.Lose(card.open);
    else if (!walker.Lost())
        Tracks(walker, card);
    return {true, walker.Finish(QStringLiteral("tracks"))};
}

ScanCheck CheckScan(QByteArrayView scan, const ScanFraming &framing)
{
    return LooksLikeCard(scan, framing) ? CheckCard(scan, framing) : CheckBarCode(scan, framing);
}

QString ScanRowText(const QDateTime &at, QByteArrayView scan, const ScanCheck &check)
{
    return QStringList{at.toString(QStringLiteral("HH:mm:ss.zzz")), QString::number(scan.size()),
                       ScanKeyText(scan), check.MarkedText(), check.Reasons()}
        .join(QLatin1Char('\t'));
}

QString VerdictName(ScanVerdict verdict)
{
    switch (verdict) {
    case ScanVerdict::Good:
        return QStringLiteral("good");
    case ScanVerdict::Bad:
        return QStringLiteral("bad");
    case ScanVerdict::Open:
        break;
    }
    return QStringLiteral("open");
}
