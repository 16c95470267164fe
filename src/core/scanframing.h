#pragma once

#include "core/parameterimages.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <array>
#include <cstdint>

// What a scan must look like when it reaches the PC, as the parameter image says: a bar code
// goes out as prefix, code ID, data, suffix, terminator; a card as its tracks, each with its
// prefix, start character, data, end character and suffix, joined by the separator, then the
// terminator. The STX-ETX terminator puts STX before everything and ETX after it.

// How the output reaches the PC: bytes on the serial line, or keys typed on the keyboard path,
// where the host's Caps Lock may turn the case of letters.
enum class ScanPath
{
    Serial,
    Keyboard
};

// A run of bytes the configuration fixes, or, where it leaves them open, why.
struct ExpectedBytes
{
    QByteArray bytes;
    QString open;

    bool IsOpen() const { return !open.isEmpty(); }
};

inline constexpr int kCodeIdCount = 8;
// The symbologies with a code ID, in the order of their bytes 0 to 7.
inline constexpr std::array<const char *, kCodeIdCount> kCodeIdNames = {
    "UPC-A", "UPC-E", "EAN-13", "EAN-8", "Code 39", "Code 128", "Interleave 25", "CodaBar/NW7"};

struct BarCodeFraming
{
    ExpectedBytes head; // STX of the STX-ETX terminator
    ExpectedBytes prefix;
    bool codeId = false;
    // 0: the symbology sends no code ID.
    std::array<std::uint8_t, kCodeIdCount> codeIds{};
    ExpectedBytes suffix;
    ExpectedBytes terminator;
};

struct TrackFraming
{
    ExpectedBytes prefix;
    QByteArray start;
    QByteArray end;
    ExpectedBytes suffix;
};

struct CardFraming
{
    ExpectedBytes head;
    std::array<TrackFraming, 3> tracks;
    bool sentinels = true; // "Send Start/Stop Character"
    QByteArray separator;
    // The tracks (1 to 3) in the order the selection sends them. Empty when the selection
    // leaves open which tracks come and in which order: the card decides.
    QList<int> order;
    // Not empty: the card's framing is left open as a whole (JIS2 cards).
    QString open;
    ExpectedBytes terminator;
};

struct ScanFraming
{
    ScanPath path = ScanPath::Serial;
    BarCodeFraming barCode;
    CardFraming card;

    static ScanFraming FromImage(const Image &image, ScanPath path);
};

// Bytes in key notation, as every listing shows device texts: each byte as its character of
// the single-byte set, a control character by its name ("{CR}") or code ("{x9B}"), so that
// no scan can drive a terminal or add a column to a table.
QString ScanKeyText(QByteArrayView bytes);
