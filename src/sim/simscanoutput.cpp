#include "sim/simscanoutput.h"

namespace {

constexpr std::uint8_t kNoKey = 255;

// The keys of a run of slots, to the first empty one.
QByteArray Slots(const SimImage &image, int first, int count)
{
    QByteArray keys;
    for (int i = first; i < first + count && image[std::size_t(i)] != kNoKey; ++i)
        keys.append(char(image[std::size_t(i)]));
    return keys;
}

// The terminator wrapped around the whole output. Both sections code CR, LF, CR LF, tab and
// space as 0 to 4 and STX-ETX as 5; "none" is 6 on the decoder and 7 on the reader.
QByteArray Terminate(QByteArray out, int code, bool keyboard)
{
    static const char *const kEnds[] = {"\r", "\n", "\r\n", "\t", " "};
    if (code < 5)
        return out + kEnds[code];
    if (code == 5 && !keyboard)
        return char(0x02) + out + char(0x03);
    return out;
}

QByteArray Track(const SimImage &image, int t, const QByteArray &data)
{
    const bool sentinels = image[28] & 0x10;
    QByteArray out = Slots(image, 29 + 16 * (t - 1), 8);
    if (sentinels)
        out.append(char(image[std::size_t(77 + 2 * (t - 1))]));
    out += data;
    if (sentinels)
        out.append(char(image[std::size_t(78 + 2 * (t - 1))]));
    return out + Slots(image, 37 + 16 * (t - 1), 8);
}

} // namespace

QByteArray SimBarCodeOutput(const SimImage &image, QByteArrayView data, int codeType, bool keyboard)
{
    // Byte 17 cuts characters from the front (high half) and the end (low half) of the data.
    const int front = image[17] >> 4;
    const int end = image[17] & 0x0F;
    QByteArray kept = data.toByteArray();
    kept = kept.mid(front);
    kept.chop(qMin<qsizetype>(end, kept.size()));
    QByteArray out = Slots(image, 8, 4);
    if ((image[22] & 0x04) && codeType >= 0 && codeType < kSimCodeTypes &&
        image[std::size_t(codeType)] != 0)
        out.append(char(image[std::size_t(codeType)]));
    out += kept;
    out += Slots(image, 12, 4);
    return Terminate(out, image[20] & 0x07, keyboard);
}

QByteArray SimCardOutput(const SimImage &image, const QList<QByteArray> &tracks, bool keyboard)
{
    const auto has = [&](int t) { return tracks.size() >= t && !tracks.at(t - 1).isEmpty(); };
    QList<int> order;
    switch (image[83] & 0x0F) {
    case 1:
    case 2:
    case 3:
        order = {image[83] & 0x0F};
        break;
    case 0: // the first track the card holds
        for (int t = 1; t <= 3 && order.isEmpty(); ++t) {
            if (has(t))
                order = {t};
        }
        break;
    case 4: // tracks 1 and 2, or 3 and 2 when the card has no track 1
        order = {has(1) ? 1 : 3, 2};
        break;
    case 5:
        order = {has(2) ? 2 : 3, 1};
        break;
    case 6:
        order = {1, 2, 3};
        break;
    case 7:
        order = {1, 3, 2};
        break;
    case 8:
        order = {2, 1, 3};
        break;
    case 9:
        order = {2, 3, 1};
        break;
    case 10:
        order = {3, 1, 2};
        break;
    case 11:
        order = {3, 2, 1};
        break;
    default: // "Auto", "Any": every track the card holds, in track order
        order = {1, 2, 3};
        break;
    }
    QByteArray out;
    // A JIS2 card has one track, sent with the second track's framing.
    if (image[25] & 0x01) {
        for (const QByteArray &data : tracks) {
            if (!data.isEmpty())
                return Terminate(Track(image, 2, data), image[27] & 0x07, keyboard);
        }
        return Terminate(out, image[27] & 0x07, keyboard);
    }
    for (int t : order) {
        if (!has(t))
            continue;
        if (!out.isEmpty())
            out.append(char(image[84]));
        out += Track(image, t, tracks.at(t - 1));
    }
    return Terminate(out, image[27] & 0x07, keyboard);
}
