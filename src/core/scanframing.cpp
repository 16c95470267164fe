#include "core/scanframing.h"

#include "core/charset.h"
#include "core/configdocument.h"
#include "keys/keytext.h"

#include <span>

namespace {

constexpr int kDecoderPrefix = 8;
constexpr int kDecoderSuffix = 12;
constexpr int kDecoderTerminatorByte = 20;
constexpr int kCodeIdByte = 22;
constexpr int kCodeIdBit = 0x04;
constexpr int kTerminatorMask = 0x07;
// The decoder keeps "None" under 6, the reader under 7; the other code has no option.
constexpr int kDecoderNone = 6;
constexpr int kReaderNone = 7;
constexpr int kStxEtx = 5;

constexpr int kCardStandardByte = 25;
constexpr int kJis2Bit = 0x01;
constexpr int kReaderTerminatorByte = 27;
constexpr int kSentinelByte = 28;
constexpr int kSentinelBit = 0x10;
constexpr int kTrackPrefix = 29;
constexpr int kTrackSuffix = 37;
constexpr int kTrackStride = 16;
constexpr int kSentinels = 77;
constexpr int kTrackSelectionByte = 83;
constexpr int kTrackSelectionMask = 0x0F;
constexpr int kSeparatorByte = 84;
// On the reader a slot from 128 on is a function key (or is read back as one).
constexpr std::uint8_t kFirstFunctionKey = 128;

constexpr char kStx = 0x02;
constexpr char kEtx = 0x03;

// The terminator codes 0 to 4, the same on both sections.
QByteArray TerminatorBytes(int code)
{
    switch (code) {
    case 0:
        return QByteArrayLiteral("\r");
    case 1:
        return QByteArrayLiteral("\n");
    case 2:
        return QByteArrayLiteral("\r\n");
    case 3:
        return QByteArrayLiteral("\t");
    case 4:
        return QByteArrayLiteral(" ");
    default:
        return {};
    }
}

// The head and tail a terminator code puts around the output.
void Terminator(int code, int none, ScanPath path, ExpectedBytes &head, ExpectedBytes &tail)
{
    if (code == kStxEtx) {
        if (path == ScanPath::Keyboard) {
            const QString why = QStringLiteral("STX-ETX is a terminator of the serial line only");
            head.open = why;
            tail.open = why;
            return;
        }
        head.bytes = QByteArray(1, kStx);
        tail.bytes = QByteArray(1, kEtx);
        return;
    }
    if (code == none)
        return;
    if (code > kStxEtx) {
        tail.open =
            QStringLiteral("the terminator field holds %1, which no option stands for").arg(code);
        return;
    }
    tail.bytes = TerminatorBytes(code);
}

// The keys of a prefix or suffix field up to its first empty slot.
ExpectedBytes Keys(const Image &image, int first, int slots, bool functionKeys)
{
    ExpectedBytes keys;
    for (int i = first; i < first + slots; ++i) {
        const std::uint8_t byte = image[static_cast<std::size_t>(i)];
        if (byte == kEmptySlot)
            break;
        if (functionKeys && byte >= kFirstFunctionKey) {
            const std::uint8_t one[] = {byte};
            keys.open = QStringLiteral("holds the key %1, which is typed as a key, not sent as "
                                       "a character")
                            .arg(DecodeKeyText(one, true));
        }
        keys.bytes.append(char(byte));
    }
    return keys;
}

// The order of the selections that fix it; the others leave it to the card.
QList<int> TrackOrder(int selection)
{
    switch (selection) {
    case 1:
    case 2:
    case 3:
        return {selection};
    case 6:
        return {1, 2, 3};
    case 7:
        return {1, 3, 2};
    case 8:
        return {2, 1, 3};
    case 9:
        return {2, 3, 1};
    case 10:
        return {3, 1, 2};
    case 11:
        return {3, 2, 1};
    default:
        return {};
    }
}

} // namespace

ScanFraming ScanFraming::FromImage(const Image &image, ScanPath path)
{
    ScanFraming framing;
    framing.path = path;
    BarCodeFraming &bar = framing.barCode;
    Terminator(image[kDecoderTerminatorByte] & kTerminatorMask, kDecoderNone, path, bar.head,
               bar.terminator);
    bar.prefix = Keys(image, kDecoderPrefix, kDecoderKeySlots, false);
    bar.suffix = Keys(image, kDecoderSuffix, kDecoderKeySlots, false);
    bar.codeId = (image[kCodeIdByte] & kCodeIdBit) != 0;
    for (int i = 0; i < kCodeIdCount; ++i)
        bar.codeIds[static_cast<std::size_t>(i)] = image[static_cast<std::size_t>(i)];

    CardFraming &card = framing.card;
    Terminator(image[kReaderTerminatorByte] & kTerminatorMask, kReaderNone, path, card.head,
               card.terminator);
    if (image[kCardStandardByte] & kJis2Bit)
        card.open = QStringLiteral("JIS2 cards are read as one track whose framing the "
                                   "parameters do not set");
    card.sentinels = (image[kSentinelByte] & kSentinelBit) != 0;
    card.separator = QByteArray(1, char(image[kSeparatorByte]));
    card.order = TrackOrder(image[kTrackSelectionByte] & kTrackSelectionMask);
    for (int t = 0; t < 3; ++t) {
        TrackFraming &track = card.tracks[static_cast<std::size_t>(t)];
        track.prefix = Keys(image, kTrackPrefix + kTrackStride * t, kReaderKeySlots, true);
        track.suffix = Keys(image, kTrackSuffix + kTrackStride * t, kReaderKeySlots, true);
        track.start = QByteArray(1, char(image[static_cast<std::size_t>(kSentinels + 2 * t)]));
        track.end = QByteArray(1, char(image[static_cast<std::size_t>(kSentinels + 2 * t + 1)]));
    }
    return framing;
}

QString ScanKeyText(QByteArrayView bytes)
{
    return PrintableText(BytesToText(bytes));
}
